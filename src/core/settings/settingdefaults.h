#pragma once

#include <QLatin1String>

// Addresses written into the settings by the default file and the upgrade. The
// host is a placeholder until the product's servers exist: a practice points the
// settings at real ones with `talvoren-cli settings set`.
namespace SettingDefaults {
inline constexpr QLatin1String productPage{"https://www.talvoren.example/"};
inline constexpr QLatin1String versionCheckSite{
    "https://updates.talvoren.example/talvoren/version.txt"};
inline constexpr QLatin1String informationCheckSite{
    "https://updates.talvoren.example/lumora/Minformation.lst"};
inline constexpr QLatin1String informationCheckSiteEnglish{
    "https://updates.talvoren.example/lumora/MEinformation.lst"};
} // namespace SettingDefaults
