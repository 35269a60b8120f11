#include "app/ProgramInfo.h"

#include <cstdio>

#include "app/Settings.h"

std::string VersionText(std::string_view version) {
    int parts[4] = {0, 0, 0, 0};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t dot = version.find('.', pos);
        const std::string_view part = version.substr(pos, dot - pos);  // npos - pos: to the end
        if (part.empty() || part.size() > 5 ||
            part.find_first_not_of("0123456789") != std::string_view::npos)
            return "V";
        parts[i] = TextToInt(part);
        if (dot == std::string_view::npos) break;
        pos = dot + 1;
    }
    char text[64];
    std::snprintf(text, sizeof text, "V%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
    return text;
}

std::string GetVersionText() {
#ifdef MERROWIN_VERSION
    return VersionText(MERROWIN_VERSION);
#else
    return "V";
#endif
}
