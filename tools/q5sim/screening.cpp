#include "screening.h"

#include "audio.h"
#include "log.h"

namespace q5sim {

std::optional<std::string> StartScreenedCall(Store& store, CallCenter& calls, const std::string& box,
                                             const std::string& number, const std::string& name) {
    const bool screening = store.MailboxField(box, "SCREEN").value_or("") == "V";
    const std::filesystem::path folder = store.MailboxFolder(box);
    return calls.StartCall(box, number, name, [&](const std::string& file) {
        if (!screening) return;
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        std::string error;
        // A short recording that differs a little from caller to caller.
        if (!WriteSyntheticVox(folder / file, 1.2, static_cast<int>(number.size() + name.size()), error)) {
            LogLine("name recording " + file + " of " + box + " failed: " + error);
        }
    });
}

}  // namespace q5sim
