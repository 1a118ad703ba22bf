// The policies as the registry holds them (the machine's hive before the user's), and
// what they fix of the settings kept here: the triggers and the start at logon.
#pragma once

#include "base/Policies.h"
#include "core/Settings.h"

namespace vp {

// Reads every policy of the table. A Text policy stored as REG_EXPAND_SZ comes with its
// environment variables expanded.
PolicySet ReadPolicies();

// Puts the trigger values that policies fix over the user's.
void ApplyTriggerPolicies(const PolicySet& policies, TriggerSettings& triggers);

// Makes the start at logon what RunAtLogon says, when it is configured.
void ApplyAutostartPolicy(const PolicySet& policies);

}  // namespace vp
