#include "app/Language.h"

#include "app/TextCase.h"
#include "platform/Locale.h"

namespace {

CLanguage& ProcessLanguage() {
    static CLanguage language;
    return language;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

}  // namespace

std::string ExpandLanguageMarkers(std::string text) {
    ReplaceAll(text, "\\r\\n", "\r\n");
    ReplaceAll(text, "\\n", "\n");
    ReplaceAll(text, "[~NullInfoChrys~]", "");
    ReplaceAll(text, "[~Null~]", " ");
    return text;
}

void CLanguage::Load(const std::string& program_folder, std::uint16_t system_locale_id) {
    program_folder_ = program_folder;
    locale_id_ = system_locale_id;
    const std::string folder = program_folder + "Languages/";
    const COperateFileIni map = COperateFileIni::Load(folder + "Language.ini");
    name_ = map.GetString("LCID", std::to_string(system_locale_id), "", kLanguageValueChars);
    if (name_.empty()) {
        name_ = "English";
        locale_id_ = kEnglishLocaleId;
    }
    file_path_ = folder + name_ + ".lng";
    // A missing or empty file leaves every lookup on its source text; the locale id stays.
    strings_ = COperateFileIni::Load(file_path_);
}

std::string CLanguage::Translate(std::string_view source) const {
    std::string value =
        strings_.GetString("ProgramOutStr", ToLowerText(source), "", kLanguageValueChars);
    if (value.empty()) value = source;
    return ExpandLanguageMarkers(std::move(value));
}

void LoadLanguage(const std::string& program_folder) {
    ProcessLanguage().Load(program_folder, platform::GetSystemLocaleId());
}

const CLanguage& GetLanguage() { return ProcessLanguage(); }

std::string TranslateText(const char* source) {
    if (!source) return {};
    return ProcessLanguage().Translate(source);
}

std::string TranslateText(std::string_view source) { return ProcessLanguage().Translate(source); }

const Translator& LanguageTranslator() {
    static const Translator translator = [](const std::string& text) {
        return TranslateText(std::string_view(text));
    };
    return translator;
}
