// import [--replace | --merge] FILE: an export loaded into an empty store,
// with --replace in place of the store's whole content, or with --merge its
// values brought to the store's declarations as migrate brings a store's
// (the plan printed). The file is checked as check checks it; without
// --merge it is written in the same streaming pass, in one transaction, so
// the store holds all of it or is left as it was.
#include "kelbrinctl/commands.h"
#include "files/document_import.h"
#include "files/store_state.h"
#include "files/group_file_sequence.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/plan.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

// The file's problems printed, and the command's failure.
Failure refused(const std::string &file, std::vector<kelbrin::Problem> problems) {
    std::size_t count = problems.size();
    print_problems(file, std::move(problems));
    return Failure("import: " + file + " has " + std::to_string(count) + (count == 1 ? " problem" : " problems") +
                   "; the store was not changed");
}

int merge_export(const Invocation &invocation, const std::string &file) {
    std::vector<kelbrin::Problem> problems;
    kelbrin::GroupFileSequence().check(file, problems);
    if (!problems.empty())
        throw refused(file, std::move(problems));
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_write(invocation.store);
    try {
        kelbrin::WriteTransaction transaction(*store);
        kelbrin::StoreState state = kelbrin::read_store_state(*store);
        kelbrin::GroupFile document =
            kelbrin::read_whole_group_file(file.c_str(), nullptr, kelbrin::Contents::DeclarationsAndState);
        kelbrin::add_document_values(state.former, document);
        kelbrin::Migration merged = kelbrin::migrate_to(std::move(state.declarations), state.former);
        apply_migration(*store, merged);
        transaction.commit();
        print_plan(merged.plan, false);
    } catch (const kelbrin::StoreError &error) {
        throw Failure("import: store " + path + ": " + reason_of(error) + "; the store was not changed");
    }
    return exitDone;
}

// The export laid out as its checked reading hands it over. The store is
// opened with the first declaration, so that a file that fails at once
// leaves a missing store uncreated; after the file's first problem or the
// store's first refusal nothing more is written, the reading goes on to
// report every problem, and the transaction is rolled back (a store this
// made is removed, or emptied, again).
class ExportWrite {
  public:
    explicit ExportWrite(const Invocation &invocation) : invocation_(invocation) {}
    ExportWrite(const ExportWrite &) = delete;
    ExportWrite &operator=(const ExportWrite &) = delete;
    ~ExportWrite() { abandon(); }

    void add(const kelbrin::Declaration &declaration) {
        attempt([&] { import_->add(declaration); });
    }

    // The store's refusal, thrown, or the whole export committed.
    void finish(const std::vector<kelbrin::TemplateDeclaration> &templates) {
        attempt([&] {
            import_->finish(templates);
            transaction_->commit();
            made_ = false;
        });
        if (refusal_)
            throw *refusal_;
    }

    // Rolls back, and removes a store this made.
    void abandon() {
        import_.reset();
        transaction_.reset();
        store_.reset();
        if (made_)
            kelbrin::put_back_store_files(path_, wasEmptyFile_);
        made_ = false;
    }

  private:
    template <typename Write> void attempt(const Write &write) {
        if (refusal_)
            return;
        try {
            if (!import_)
                begin();
            write();
        } catch (const kelbrin::StoreError &error) {
            refusal_.emplace("import: store " + path_ + ": " + reason_of(error) + "; the store was not changed");
            abandon();
        } catch (const Failure &failure) {
            refusal_.emplace(failure);
            abandon();
        }
    }

    void begin() {
        path_ = store_path_for(invocation_.store);
        wasEmptyFile_ = kelbrin::is_empty_file(path_);
        bool made = kelbrin::is_missing(path_) || wasEmptyFile_;
        store_ = open_store_to_write(invocation_.store);
        made_ = made;
        transaction_.emplace(*store_);
        kelbrin::StoreContent content = kelbrin::store_content(*store_);
        if ((content.items != 0 || content.templates != 0) && !invocation_.has("--replace"))
            throw Failure("import: store " + path_ + " is not empty (" + std::to_string(content.items) +
                          " groups and parameters, " + std::to_string(content.templates) +
                          " templates); import --replace FILE replaces all of it");
        import_.emplace(*store_, kelbrin::Settings{});
    }

    const Invocation &invocation_;
    std::string path_; // the store's, once opened
    std::unique_ptr<kelbrin::Database> store_;
    std::optional<kelbrin::WriteTransaction> transaction_;
    std::optional<kelbrin::DocumentImport> import_;
    bool made_ = false; // from nothing or from an empty file
    bool wasEmptyFile_ = false;
    std::optional<Failure> refusal_;
};

int load_export(const Invocation &invocation) {
    const std::string &file = invocation.operands[0];
    if (invocation.has("--replace") && invocation.has("--merge"))
        throw UsageError("import: --replace and --merge exclude each other");
    if (invocation.has("--merge"))
        return merge_export(invocation, file);
    std::vector<kelbrin::Problem> problems;
    ExportWrite write(invocation);
    std::vector<kelbrin::TemplateDeclaration> templates = kelbrin::GroupFileSequence().check(
        file, problems, [&](const kelbrin::Declaration &declaration) { write.add(declaration); });
    if (!problems.empty()) {
        write.abandon();
        throw refused(file, std::move(problems));
    }
    write.finish(templates);
    return exitDone;
}

constexpr Option options[] = {{"--replace"}, {"--merge"}};

} // namespace

extern const Command importCommand{
    .name = "import",
    .options = options,
    .operands = "FILE",
    .fewest = 1,
    .most = 1,
    .summary = "load an export into an empty store, in place of its content, or merged into it",
    .run = load_export,
};

} // namespace kelbrinctl
