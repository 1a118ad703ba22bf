// Where the program keeps its settings in the current user's registry.
#pragma once

#include "win/Handle.h"

namespace vp {

inline constexpr char kProgramKey[] = "SOFTWARE\\Quenhollow\\Vantapicker";
inline constexpr char kSettingsKey[] = "SOFTWARE\\Quenhollow\\Vantapicker\\Settings";
inline constexpr char kSelectedKey[] = "SOFTWARE\\Quenhollow\\Vantapicker\\Selected";
inline constexpr char kHistoryKey[] = "SOFTWARE\\Quenhollow\\Vantapicker\\MRU";
// The default site id, a value of the Settings key.
inline constexpr char kDefaultSiteValue[] = "DefaultSite";

// Opens the Settings key for writing, creating it when it does not exist. Raises
// _qh_error with message 110 when it cannot be created, 111 when it cannot be opened.
win::RegKey OpenSettingsForWriting();

}  // namespace vp
