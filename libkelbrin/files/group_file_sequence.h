// Checking group files as loading them one after another would: the checks
// that loading makes against the store (loading.cpp), made against what the
// files before declare.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "files/declared_names.h"
#include "files/group_file.h"

namespace kelbrin {

class GroupFileSequence {
  public:
    // Checks a file after the ones added before: begin, then each of its
    // declarations as the reader hands them over, then finish with its
    // templates. Notes what loading the file would refuse beyond what
    // reading it finds: a name that changes between group, plain and complex
    // parameter, a mapping that reaches no parameter (to nothing, in a
    // circle, too far), a template whose parent is no group, an export's
    // dynamic groups beyond their template's maximum or under another
    // parent. What the file declares then counts for the files after it.
    void begin(const std::string &fileName);
    void add(const Declaration &declaration, std::vector<Problem> &problems);
    void finish(const std::vector<TemplateDeclaration> &templates, std::vector<Problem> &problems);
    // All three for the file at path, the reader checking its names in the
    // sequence's table; its templates. Each declaration goes on to each.
    std::vector<TemplateDeclaration> read(const std::string &path, Contents contents,
                                          std::vector<Problem> &problems,
                                          const DeclarationSink &each);
    // The file read with its state; each declaration goes on to accepted
    // while the file has no problem.
    std::vector<TemplateDeclaration> check(const std::string &path, std::vector<Problem> &problems,
                                           const DeclarationSink &accepted = nullptr);

  private:
    using Kind = DeclaredNames::Kind;
    using Known = DeclaredNames::Met;

    void enter(std::string_view name, std::string_view folded, Kind kind, const Declaration &declaration,
               std::vector<Problem> &problems);
    void check_dynamic_groups(const std::vector<TemplateDeclaration> &templates,
                              std::vector<Problem> &problems) const;
    // "a plain parameter in a.json:4:9", for a message.
    std::string described(const Known &known) const;

    // By folded name; groups include ancestors that no file declares.
    DeclaredNames names_;
    // What the parameters that map somewhere map to, by folded name.
    std::unordered_map<std::string, std::string> mapTo_;
    std::vector<std::string> files_;
    // Names whose kind a file contradicts, each reported once.
    std::unordered_set<std::string> contradicted_;
    // The current file's mappings and dynamic groups, checked at its end.
    struct Pending {
        std::string name;
        TextPosition where;
        std::string target; // what it maps to, or the template it was made from
    };
    std::vector<Pending> mapped_;
    std::vector<Pending> dynamic_;
};

} // namespace kelbrin
