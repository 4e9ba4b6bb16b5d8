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
#include <string_view>
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

// Texts kept once each. A whole tree brings hundreds of thousands of them,
// most of them again and again, so the index is built for the lookup: the
// texts lie end to end in one block in the order they came, and each slot
// of the hash index holds the place of its text, so that a lookup reads one
// slot and the text itself. Each text carries a mark for its owner's use.
class text_index {
public:
  text_index() { clear(); }
  static uint64_t hash(std::string_view text) { return std::hash<std::string_view>()(text); }
  size_t size() const { return entries_.size(); }
  // The text of place k in the order of first insertion, and its mark.
  std::string_view text(size_t k) const { return text_of(entries_[k].at, entries_[k].size); }
  uint32_t mark(size_t k) const { return entries_[k].mark; }
  bool contains(std::string_view text, uint64_t hash) const;
  // Enters text, of the given hash, with mark unless it is there already;
  // whether it was new.
  bool insert(std::string_view text, uint64_t hash, uint32_t mark);
  // Has the slot for a text of the given hash read ahead of its lookup.
  // (There is always a slot: with a test for none, the compiler drops the
  // read ahead.)
  void prefetch(uint64_t hash) const {
    __builtin_prefetch(slots_.data() + (hash & (slots_.size() - 1)));
  }
  void clear();

private:
  struct entry {
    uint64_t at;   // offset of the text in text_
    uint32_t size; // length of the text
    uint32_t mark;
  };
  struct slot {
    uint64_t at;   // as in the entry; unused while size is empty_slot
    uint32_t size;
    uint32_t tag;  // high half of the text's hash
  };
  static constexpr uint32_t empty_slot = UINT32_MAX;
  std::string_view text_of(uint64_t at, uint32_t size) const { return {text_.data() + at, size}; }
  // The slot of text, or the empty slot where it would go.
  size_t find(std::string_view text, uint64_t hash) const;
  void rebuild(size_t slots);

  std::string text_;           // every text, end to end
  std::vector<entry> entries_; // in the order of first insertion
  std::vector<slot> slots_;    // open addressing, a power of two of them
};

// An iteration over the places of a table in the order of first insertion,
// handing out what the table's at() gives for each.
template <typename Table> class place_iterator {
public:
  place_iterator(const Table *t, size_t k) : t_(t), k_(k) {}
  auto operator*() const { return t_->at(k_); }
  place_iterator &operator++() {
    ++k_;
    return *this;
  }
  bool operator!=(const place_iterator &o) const { return k_ != o.k_; }
  bool operator==(const place_iterator &o) const { return k_ == o.k_; }

private:
  const Table *t_;
  size_t k_;
};

// Global entry texts, each with the file that recorded it first.
class global_table {
public:
  // An entry as the iteration hands it out; valid until the next add.
  struct value_type {
    std::string_view first;    // the entry text
    const std::string &second; // the file that recorded it first
  };
  using const_iterator = place_iterator<global_table>;
  value_type at(size_t k) const { return {index_.text(k), files_[index_.mark(k)]}; }

  // Records text with file unless text is there already. The records are
  // gathered and entered a batch at a time, so that the reads of the index
  // for a batch overlap instead of waiting one after the other; everything
  // below enters the gathered ones first, so none of this shows.
  void add(std::string_view text, const std::string &file);
  size_t count(std::string_view text) {
    settle();
    return index_.contains(text, text_index::hash(text));
  }
  size_t size() {
    settle();
    return index_.size();
  }
  void clear();
  // In the order of first insertion.
  const_iterator begin() {
    settle();
    return {this, 0};
  }
  const_iterator end() {
    settle();
    return {this, index_.size()};
  }

private:
  // Enters the gathered records.
  void settle();

  // A record gathered by add: its text in waiting_text_.
  struct waiting {
    uint64_t hash, at;
    size_t size;
    uint32_t file;
  };
  static constexpr size_t batch = 64;

  text_index index_;               // the texts, each marked with its file in files_
  std::vector<std::string> files_; // the file names, one per run of records from one file
  std::string waiting_text_;
  std::vector<waiting> waiting_;
};

// Names that are only asked whether they are known.
class name_set {
public:
  using const_iterator = place_iterator<name_set>;
  std::string_view at(size_t k) const { return index_.text(k); }
  bool insert(std::string_view name) { return index_.insert(name, text_index::hash(name), 0); }
  size_t count(std::string_view name) const {
    return index_.contains(name, text_index::hash(name));
  }
  size_t size() const { return index_.size(); }
  void clear() { index_.clear(); }
  // In the order of first insertion.
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, index_.size()}; }

private:
  text_index index_;
};

// Classes by qualified name, written in key order.
extern std::map<std::string, class_info> classes;
// Filled with every declaration and macro of the tree; the summary writer
// puts it in key order.
extern global_table globals;
// Included names by base name of the scanned file, and by header name as
// read back from summaries.
extern std::map<std::string, header_info> headers;
extern std::map<std::string, header_info> stdheaders;
// Known type names.
extern name_set alltypes;
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
