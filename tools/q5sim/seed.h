// Demo data: two mailboxes with plausible values in every mailbox table, rows
// in every system table, greetings and recorded names, and a contact card
// that matches one of the demo callers. Also the callers that --demo-calls
// uses, in turn.
//
// Thread rule: call SeedDemo before the server accepts connections.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace q5sim {

struct DemoCaller {
    std::string number;
    std::string name;  // empty: the telephony did not deliver one
};
const std::vector<DemoCaller>& DemoCallers();

// Seeds DIR unless mailbox 101 exists already. Returns false when it did
// nothing. Writes DIR/demo-contacts/*.vcf.
bool SeedDemo(const std::filesystem::path& data_dir);

}  // namespace q5sim
