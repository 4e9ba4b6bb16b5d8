// What veskan learns about a source tree: classes with their members, global
// names, include sets and known type names, and the summary file that holds
// them (written at the end of a run, read back by a later run with -a).
#ifndef VESKAN_TABLES_HPP
#define VESKAN_TABLES_HPP 1

#include <cstdint>
#include <iosfwd>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// Member kinds and access levels: a class's member list index is
// kind * 3 + access.
enum { KIND_PLAIN = 0, KIND_STATIC = 1, KIND_CONST = 2 };
enum { ACS_PRIVATE = 0, ACS_PROTECTED = 1, ACS_PUBLIC = 2 };

// The duplicate test of a long member list: an open-addressing table of
// the list's positions, each with the high half of its entry's hash. Empty
// while the list is short enough to be searched directly.
struct entry_index {
  std::vector<uint64_t> slots; // hash << 32 | (position + 1); 0: empty
};

struct class_info {
  std::string file; // base name of the file of the class's body
  std::vector<std::pair<int, std::string>> parents; // (access, base name)
  std::vector<std::string> elems[9];                // entries, in order of first insertion
  entry_index known[9];                             // for the duplicate test of long lists
};

struct header_info {
  std::set<std::string> includes;
};

// Classes by qualified name, written in key order.
extern std::map<std::string, class_info> classes;
// Global entry texts with the file that recorded each first. Filled with
// every declaration and macro of the tree, so it is hashed; the summary
// writer puts it in key order.
extern std::unordered_map<std::string, std::string> globals;
// Included names by base name of the scanned file, and by header name as
// read back from summaries.
extern std::map<std::string, header_info> headers;
extern std::map<std::string, header_info> stdheaders;
// Known type names; only asked for membership.
extern std::unordered_set<std::string> alltypes;
extern std::set<std::string> work_parents;
extern std::set<std::string> collected_parents;

// The mark written in front of each member entry, by list index.
extern const char *const acs_code[9];

// File-name patterns: headers, sources, C files, unit-test sources; and the
// scope separator that the summary writes as a single ":".
extern const std::regex hdr_re, src_re, c_re, unittest_re, sub_re;

// Whether name ends with tail.
inline bool ends_with(const std::string &name, const char *tail) {
  size_t n = std::char_traits<char>::length(tail);
  return name.size() >= n && name.compare(name.size() - n, n, tail) == 0;
}

// Appends entry to list idx of the class unless it is there already.
void add_toclass(class_info *info, int idx, const std::string &entry);
// Records a global name with its file; the first record of a name wins.
void add_global(const std::string &name, const std::string &file);
// Empties every table.
void clear_tables();
// Merges the members of class base, inherited with the given access, into info.
void collect_parent_elems(class_info &info, int access, const std::string &base);

// Writes the summary of the tables. Widens the include sets and merges
// inherited members as it goes, so it runs once per process.
void write_summary(std::ostream &out);
// Reads one summary back into stdheaders and alltypes.
void read_summary(std::istream &in);

#endif
