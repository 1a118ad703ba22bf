// The configuration as the registry holds it: the policies (the machine's hive before the
// user's) and the user's own settings, read once per load (the start, OK in the Options
// dialog, a policy refresh) and handed to whatever needs them.
#pragma once

#include "base/Configuration.h"

namespace vp {

// Reads every policy of the table and every setting a policy can decide. A Text policy
// stored as REG_EXPAND_SZ comes with its environment variables expanded.
Configuration ReadConfiguration();

// Makes the start at logon what RunAtLogon says, when it fixes it.
void ApplyAutostartPolicy(const Configuration& configuration);

}  // namespace vp
