// verify [--json]: SQLite's integrity check of the store's file, then the
// store's own rules (store/verification.h). Each problem is one line on standard
// output, "name: cause"; nothing when the store is clean. Then, as warnings
// that leave the exit status as it is, values the PHP or FORM output would
// not carry safely.
#include <cstdio>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"
#include "store/verification.h"

namespace kelbrinctl {

namespace {

int verify(const Invocation &invocation) {
    bool asJson = invocation.has("--json");
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    store->begin_reading();
    nlohmann::ordered_json problems = nlohmann::ordered_json::array();
    std::size_t found = 0;
    auto report = [&](const kelbrin::Finding &finding) {
        ++found;
        if (asJson)
            problems.push_back({{"name", finding.subject}, {"cause", finding.cause}});
        else
            std::printf("%s\n", printable(finding.subject + ": " + finding.cause).c_str());
    };
    nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
    auto warn = [&](const std::string &name, const kelbrin::UnsafeCharacter &unsafe) {
        if (asJson)
            warnings.push_back({{"name", name},
                                {"output", unsafe.output},
                                {"character", std::string(1, unsafe.character)}});
        else
            std::printf("%s\n", printable(name + ": warning: holds " + unsafe.character + ", which the " +
                                          unsafe.output + " output does not carry safely")
                                    .c_str());
    };
    try {
        kelbrin::verify_store(*store, report);
        kelbrin::find_values_outputs_cannot_carry(*store, warn);
    } catch (const kelbrin::StoreError &error) {
        report({"store " + path, "cannot be read through: " + reason_of(error)});
    }
    if (asJson)
        std::printf("%s\n",
                    nlohmann::ordered_json{{"store", path}, {"problems", problems}, {"warnings", warnings}}
                        .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                        .c_str());
    return found == 0 ? exitDone : exitFailed;
}

constexpr Option options[] = {{"--json"}};

} // namespace

extern const Command verifyCommand{
    .name = "verify",
    .options = options,
    .summary = "check the store file and the store's own rules",
    .run = verify,
};

} // namespace kelbrinctl
