#pragma once
// The mail client's accounts, where programs that ask the mail client for the user's own
// addresses read them: one subkey per account under the current user's
// "Software\Microsoft\Office\Outlook\OMI Account Manager\Accounts", with the values
// "Account Name" and "SMTP Email Address". The accounts are the stores that have an address:
// the default store's is $EMAIL, a configured store's its value "Email".

#include "platform/outlook/StoreConfig.h"

class TRegistry;

namespace outlook {

/// Writes the accounts of `config` (one commit, only when they differ from those stored); a
/// configuration without addresses leaves no account key. Raises what the registry raises.
void PublishMailAccounts(TRegistry& registry, const ApplicationConfig& config);

/// The configuration of a new application object (LoadApplicationConfig) after its accounts were
/// published; a failure to publish them is no error, since they only serve others' look-ups.
ApplicationConfig LoadAndPublishConfig(TRegistry& registry);

}  // namespace outlook
