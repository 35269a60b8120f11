#include "app/SkinPaths.h"

SkinPaths BuildSkinPaths(const std::string& program_folder, std::uint16_t locale_id) {
    const std::string dir = program_folder + "Skin/";
    const std::string lang = locale_id == kChineseLocaleId ? "_chinese" : "_other";
    auto p = [&](const std::string& file) { return dir + file; };
    auto same4 = [&](const std::string& file) {
        return ButtonImages{p(file), p(file), p(file), p(file)};
    };

    SkinPaths s;
    s.main_bk = p("main_bk.jpg");
    s.main_left_bk = p("main_left_bk.jpg");
    s.application_icon = p("Application.ico");
    s.main_close = same4("close_normal.bmp");
    s.main_min = same4("min_normal.bmp");
    s.main_help = same4("help_normal.bmp");
    s.help_product = p("help_product_normal.bmp");
    s.help_support = p("help_support_normal.bmp");
    s.help_contact = p("help_contact_normal.bmp");
    s.help_help = p("help_help_normal.bmp");
    s.menu_first = {p("bt_menu_search_normal.bmp"), p("bt_menu_search_down.bmp"),
                    p("bt_menu_search_down.bmp"), p("bt_menu_search_normal.bmp")};
    s.menu_other = {p("bt_menu_wireless_normal.bmp"), p("bt_menu_wireless_down.bmp"),
                    p("bt_menu_wireless_down.bmp"), p("bt_menu_wireless_normal.bmp")};
    s.search = same4("btn_search.bmp");
    s.update = {p("btn_update_normal.bmp"), p("btn_update_normal.bmp"), p("btn_update_down.bmp"),
                p("btn_update_normal.bmp")};
    s.search_left = p("btn_pie.bmp");
    s.search_right = p("btn_pie2.bmp");
    s.line = p("line.bmp");
    s.gray_line = p("gray_line.bmp");
    s.orange_line = p("orange_line.bmp");
    s.config_primary = same4("config_btn.bmp");
    s.config_secondary = same4("btn_config.bmp");
    s.config_close = same4("close_config.bmp");
    s.wait_close = p("close_wait.bmp");
    s.tab_selected = p("wireless_basic.bmp");
    s.tab_other = p("wireless_config.bmp");
    s.wait_search = p("wait_search.gif");
    s.edit_icon = p("write.bmp");
    s.web_icon = p("web" + lang + ".bmp");
    s.bridge_icon = p("bridge" + lang + ".bmp");
    s.install_help = p("help" + lang + ".jpg");
    s.bridge_finish = p("bridge_finish.jpg");
    for (size_t i = 0; i < s.signal_strength.size(); ++i)
        s.signal_strength[i] = p("singal_strength" + std::to_string(i) + ".bmp");
    return s;
}
