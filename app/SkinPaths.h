#pragma once
// Full paths of every skin image, built once at start-up. Each window loads its own images and
// shows nothing where a file is missing, so only the paths are made here.

#include <array>
#include <cstdint>
#include <string>

// A skinned button's four images: normal, mouse over, pressed, disabled. A button marked as
// selected (the current navigation button) draws its pressed image.
using ButtonImages = std::array<std::string, 4>;

struct SkinPaths {
    std::string main_bk;           // main window background
    std::string main_left_bk;      // navigation panel background
    std::string application_icon;  // window and tray icon
    ButtonImages main_close;
    ButtonImages main_min;
    ButtonImages main_help;
    std::string help_product, help_support, help_contact, help_help;  // help menu items
    ButtonImages menu_first;                                          // Status navigation button
    ButtonImages menu_other;  // the other seven navigation buttons
    ButtonImages search;      // Search button of the list pages
    ButtonImages update;      // beside the per-page selector; site-survey dialog button
    std::string search_left, search_right;  // ends of the list pages' search box
    std::string line;                       // list pages, system tool page
    std::string gray_line;                  // device configuration dialog
    std::string orange_line;                // bridge wizard pages, upgrade dialog
    ButtonImages config_primary;            // "Next", "Save"
    ButtonImages config_secondary;          // "Back", "Cancel"
    ButtonImages config_close;              // configuration dialogs and bridge wizard
    std::string wait_close;                 // wait dialog
    std::string tab_selected;               // device configuration dialog tabs
    std::string tab_other;
    std::string wait_search;                     // busy animation (GIF)
    std::string edit_icon;                       // Management page list
    std::string web_icon;                        // Status page list (language-dependent)
    std::string bridge_icon;                     // Bridge page list (language-dependent)
    std::string install_help;                    // Install Help picture (language-dependent)
    std::string bridge_finish;                   // last bridge wizard page
    std::array<std::string, 6> signal_strength;  // 0 (none) to 5 (best)
};

inline constexpr std::uint16_t kChineseLocaleId = 2052;

// Paths under <program_folder>Skin/; the "_chinese" variants when `locale_id` is 2052, the
// "_other" ones otherwise.
SkinPaths BuildSkinPaths(const std::string& program_folder, std::uint16_t locale_id);
