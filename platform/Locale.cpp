#include "platform/Locale.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

struct LocaleEntry {
    std::string_view name;  // language_COUNTRY
    std::uint16_t id;
};

// The first entry of each language is its main locale, used for countries not listed.
constexpr LocaleEntry kLocales[] = {
    {"en_US", 1033},  {"en_GB", 2057}, {"en_AU", 3081},  {"en_CA", 4105},  {"en_NZ", 5129},
    {"en_IE", 6153},  {"en_ZA", 7177}, {"en_IN", 16393}, {"en_SG", 18441}, {"en_PH", 13321},
    {"zh_CN", 2052},  {"zh_TW", 1028}, {"zh_HK", 3076},  {"zh_SG", 4100},  {"zh_MO", 5124},
    {"de_DE", 1031},  {"de_CH", 2055}, {"de_AT", 3079},  {"de_LU", 4103},  {"de_LI", 5127},
    {"fr_FR", 1036},  {"fr_BE", 2060}, {"fr_CA", 3084},  {"fr_CH", 4108},  {"fr_LU", 5132},
    {"es_ES", 3082},  {"es_MX", 2058}, {"es_AR", 11274}, {"es_CO", 9226},  {"es_CL", 13322},
    {"es_US", 21514}, {"it_IT", 1040}, {"it_CH", 2064},  {"pt_BR", 1046},  {"pt_PT", 2070},
    {"nl_NL", 1043},  {"nl_BE", 2067}, {"ja_JP", 1041},  {"ko_KR", 1042},  {"ru_RU", 1049},
    {"uk_UA", 1058},  {"pl_PL", 1045}, {"cs_CZ", 1029},  {"sk_SK", 1051},  {"hu_HU", 1038},
    {"ro_RO", 1048},  {"bg_BG", 1026}, {"hr_HR", 1050},  {"sl_SI", 1060},  {"sr_RS", 10266},
    {"el_GR", 1032},  {"tr_TR", 1055}, {"sv_SE", 1053},  {"sv_FI", 2077},  {"fi_FI", 1035},
    {"da_DK", 1030},  {"nb_NO", 1044}, {"nn_NO", 2068},  {"is_IS", 1039},  {"et_EE", 1061},
    {"lv_LV", 1062},  {"lt_LT", 1063}, {"he_IL", 1037},  {"ar_SA", 1025},  {"ar_EG", 3073},
    {"ar_AE", 14337}, {"fa_IR", 1065}, {"hi_IN", 1081},  {"th_TH", 1054},  {"vi_VN", 1066},
    {"id_ID", 1057},  {"ms_MY", 1086}, {"ca_ES", 1027},  {"eu_ES", 1069},  {"gl_ES", 1110},
};

constexpr std::uint16_t kEnglishUs = 1033;

}  // namespace

std::string_view ChooseLocaleName(const char* lc_all, const char* lc_messages, const char* lang) {
    for (const char* v : {lc_all, lc_messages, lang})
        if (v && *v) return v;
    return "C";
}

std::uint16_t LocaleIdFromName(std::string_view posix_name) {
    // language[_territory][.codeset][@modifier]
    std::string_view base = posix_name.substr(0, posix_name.find_first_of(".@"));
    const std::string_view modifier = posix_name.find('@') == std::string_view::npos
                                          ? std::string_view{}
                                          : posix_name.substr(posix_name.find('@') + 1);
    const size_t sep = base.find_first_of("_-");
    std::string language(base.substr(0, sep));
    std::string country(sep == std::string_view::npos ? std::string_view{} : base.substr(sep + 1));
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : country) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (language.size() < 2) return kEnglishUs;  // "", "C", "POSIX" has no language part
    if (language == "c" || language == "posix") return kEnglishUs;

    if (language == "sr" && modifier == "latin") return 9242;  // Serbian in Latin script
    const std::string full = language + "_" + country;
    for (const auto& e : kLocales)
        if (e.name == full) return e.id;
    for (const auto& e : kLocales)
        if (e.name.substr(0, e.name.find('_')) == language) return e.id;
    return kEnglishUs;
}

std::uint16_t GetSystemLocaleId() {
    return LocaleIdFromName(
        ChooseLocaleName(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
}

}  // namespace platform
