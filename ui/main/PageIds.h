#pragma once
// The pages of the container: their ids (those of their window layouts) and their places in
// the container's array.

#include <array>

inline constexpr int IDD_STATUS_PAGE = 133;
inline constexpr int IDD_MANAGEMENT_PAGE = 134;
inline constexpr int IDD_BRIDGE_PAGE = 135;
inline constexpr int IDD_REBOOT_PAGE = 136;
inline constexpr int IDD_UPGRADE_PAGE = 137;
inline constexpr int IDD_RESTORE_PAGE = 138;
inline constexpr int IDD_INSTALL_HELP_PAGE = 139;
inline constexpr int IDD_SYSTEM_TOOL_PAGE = 155;

inline constexpr int kPageCount = 8;

// Index order of the container's array: 0 Status, 1 Management, 2 Bridge, 3 Reboot,
// 4 Restore, 5 Upgrade, 6 Install Help, 7 System tool.
inline constexpr std::array<int, kPageCount> kPageIdsByIndex = {
    IDD_STATUS_PAGE,  IDD_MANAGEMENT_PAGE, IDD_BRIDGE_PAGE,       IDD_REBOOT_PAGE,
    IDD_RESTORE_PAGE, IDD_UPGRADE_PAGE,    IDD_INSTALL_HELP_PAGE, IDD_SYSTEM_TOOL_PAGE};

// The array index of a page id, or -1.
inline constexpr int PageIndexOf(int pageId) {
    for (int i = 0; i < kPageCount; ++i)
        if (kPageIdsByIndex[i] == pageId) return i;
    return -1;
}

// The pages that list devices: they have a refresh entry and take page turns.
inline constexpr bool IsListPage(int pageId) {
    return pageId >= IDD_STATUS_PAGE && pageId <= IDD_RESTORE_PAGE;
}
