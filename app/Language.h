#pragma once
// Language files. Every text the program shows is written in English in the program and looked
// up, at run time, in the language chosen at start-up from the system locale:
//   <program folder>Languages/Language.ini   section "LCID": locale id (decimal) = language name
//   <program folder>Languages/<name>.lng     section "ProgramOutStr": english text = translation
// Keys are compared without regard to case. A missing file or entry leaves the English text.
// In a translation, the escapes \r\n and \n stand for line breaks, "[~NullInfoChrys~]" for
// nothing and "[~Null~]" for one space (an empty value means "no translation", and values are
// trimmed).
//
// The language is chosen once, before any window exists, and never changes; after that the
// lookups only read and may be made from any thread.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/OperateFileIni.h"
#include "common/ValueTables.h"

inline constexpr size_t kLanguageValueChars = 1022;
inline constexpr std::uint16_t kEnglishLocaleId = 1033;

class CLanguage {
  public:
    // Chooses the language for `system_locale_id` and loads its file.
    void Load(const std::string& program_folder, std::uint16_t system_locale_id);

    // The translation of `source`, or `source` itself, with the escapes and markers replaced.
    std::string Translate(std::string_view source) const;

    const std::string& ProgramFolder() const { return program_folder_; }
    // The system's locale id, or 1033 when Language.ini maps no language for it.
    std::uint16_t LocaleId() const { return locale_id_; }
    const std::string& Name() const { return name_; }
    const std::string& FilePath() const { return file_path_; }

  private:
    std::string program_folder_;
    std::uint16_t locale_id_ = kEnglishLocaleId;
    std::string name_ = "English";
    std::string file_path_;
    COperateFileIni strings_;
};

// Replaces, in this order, the four characters \r\n by CR LF, the two characters \n by LF,
// "[~NullInfoChrys~]" by nothing and "[~Null~]" by one space.
std::string ExpandLanguageMarkers(std::string text);

// The process-wide language, chosen by start-up.
void LoadLanguage(const std::string& program_folder);  // from the system locale
const CLanguage& GetLanguage();

// The translation of one source text; a null source gives an empty text.
std::string TranslateText(const char* source);
std::string TranslateText(std::string_view source);

// TranslateText in the form the value tables and validation messages take.
const Translator& LanguageTranslator();
