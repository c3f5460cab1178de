#pragma once

// The fixed id of every kind of dialog; the window manager keys its table by it and
// hands out at most one controller per id.
namespace TalvorenWindowId {
enum : int
{
    ConfigWindow = 0,
    CopyResultWindow = 1,
    HelpWindow = 2,
    SDCopyConfirmWindow = 3,
    UpdateCheckWindow = 4,
    VersionInformationWindow = 5,
    AlertWindow = 6,
    DetailConfigWindow = 7,
    DuplicateWindow = 8,
    InformationCheckWindow = 9,
    ProgressWindow = 10,
    ReadConfirmWindow = 11,
    RecentImportsWindow = 12,
};
inline constexpr int first = ConfigWindow;
inline constexpr int last = RecentImportsWindow;
} // namespace TalvorenWindowId
