// The class, global and header tables and the summary file.
#include "tables.hpp"

#include <istream>
#include <ostream>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string_view>

std::map<std::string, class_info> classes;
global_table globals;
std::map<std::string, header_info> headers;
std::map<std::string, header_info> stdheaders;
name_set alltypes;
std::set<std::string> work_parents;
std::set<std::string> collected_parents;

// Kind first (":" plain, "$" static, "=" const), then ":" for public and "%"
// for private and protected alike.
const char *const acs_code[9] = {":%", ":%", "::", "$%", "$%", "$:", "=%", "=%", "=:"};

const std::regex hdr_re("\\.h(pp)?$");
const std::regex sub_re("::");
const std::regex c_re("\\.[hc]$");
const std::regex src_re("\\.(c|cpp)$");
const std::regex unittest_re("_unittest\\.cpp$");

namespace {

// Lists up to this long are searched entry by entry; longer ones through
// their index, so a class with thousands of members stays linear.
const size_t short_list = 16;

uint32_t entry_hash(const std::string &e) {
  return static_cast<uint32_t>(std::hash<std::string>()(e) >> 16);
}

// The slot of entry in the index of list, or the empty slot for it.
uint64_t &index_slot(entry_index &ix, const std::vector<std::string> &list, uint32_t hash,
                     const std::string &entry) {
  size_t mask = ix.slots.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    uint64_t &s = ix.slots[i];
    if (s == 0) return s;
    if (static_cast<uint32_t>(s >> 32) == hash &&
        list[static_cast<uint32_t>(s) - 1] == entry)
      return s;
  }
}

void index_entries(entry_index &ix, const std::vector<std::string> &list) {
  size_t size = 64;
  while (size < 4 * list.size()) size *= 2;
  ix.slots.assign(size, 0);
  for (size_t k = 0; k < list.size(); ++k) {
    uint32_t hash = entry_hash(list[k]);
    index_slot(ix, list, hash, list[k]) = uint64_t{hash} << 32 | (k + 1);
  }
}

} // namespace

void add_toclass(class_info *info, int idx, const std::string &entry) {
  std::vector<std::string> &list = info->elems[idx];
  entry_index &ix = info->known[idx];
  if (ix.slots.empty()) {
    for (const std::string &e : list)
      if (e == entry) return;
    list.push_back(entry);
    if (list.size() > short_list) index_entries(ix, list);
    return;
  }
  uint32_t hash = entry_hash(entry);
  uint64_t &s = index_slot(ix, list, hash, entry);
  if (s != 0) return;
  list.push_back(entry);
  s = uint64_t{hash} << 32 | list.size();
  if (2 * list.size() > ix.slots.size()) index_entries(ix, list);
}

size_t text_index::find(std::string_view text, uint64_t hash) const {
  const size_t mask = slots_.size() - 1;
  const uint32_t tag = static_cast<uint32_t>(hash >> 32);
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const slot &s = slots_[i];
    if (s.size == empty_slot) return i;
    if (s.tag == tag && s.size == text.size() &&
        std::memcmp(text_.data() + s.at, text.data(), text.size()) == 0)
      return i;
  }
}

void text_index::rebuild(size_t size) {
  slots_.assign(size, slot{0, empty_slot, 0});
  for (const entry &e : entries_) {
    std::string_view text = text_of(e.at, e.size);
    uint64_t h = hash(text);
    slots_[find(text, h)] = slot{e.at, e.size, static_cast<uint32_t>(h >> 32)};
  }
}

bool text_index::contains(std::string_view text, uint64_t hash) const {
  return slots_[find(text, hash)].size != empty_slot;
}

bool text_index::insert(std::string_view text, uint64_t hash, uint32_t mark) {
  if (text.size() >= empty_slot) throw std::length_error("text too long for the index");
  slot &s = slots_[find(text, hash)];
  if (s.size != empty_slot) return false;
  const entry e{text_.size(), static_cast<uint32_t>(text.size()), mark};
  text_.append(text);
  entries_.push_back(e);
  s = slot{e.at, e.size, static_cast<uint32_t>(hash >> 32)};
  // At most seven tenths full, so that a probe rarely leaves its first line.
  if (10 * entries_.size() > 7 * slots_.size()) rebuild(2 * slots_.size());
  return true;
}

void text_index::clear() {
  text_.clear();
  entries_.clear();
  rebuild(1024);
}

void global_table::add(std::string_view text, const std::string &file) {
  if (files_.empty() || files_.back() != file) files_.push_back(file);
  waiting_.push_back({text_index::hash(text), waiting_text_.size(), text.size(),
                      static_cast<uint32_t>(files_.size() - 1)});
  waiting_text_.append(text);
  if (waiting_.size() == batch) settle();
}

void global_table::settle() {
  for (const waiting &w : waiting_) index_.prefetch(w.hash);
  for (const waiting &w : waiting_)
    index_.insert(std::string_view(waiting_text_.data() + w.at, w.size), w.hash, w.file);
  waiting_.clear();
  waiting_text_.clear();
}

void global_table::clear() {
  index_.clear();
  files_.clear();
  waiting_text_.clear();
  waiting_.clear();
}

void add_global(const std::string &name, const std::string &file) { globals.add(name, file); }

void clear_tables() {
  classes.clear();
  globals.clear();
  headers.clear();
  stdheaders.clear();
  alltypes.clear();
  work_parents.clear();
  collected_parents.clear();
}

// Appends the inherited members of class b, inherited with the given
// access, to info.
static void merge_members(class_info &info, int access, const class_info &b) {
  for (int i = 0; i < 9; ++i) {
    int acs = i % 3;
    if (acs == ACS_PRIVATE) continue; // private members are not inherited
    int j = i;
    if (access == ACS_PRIVATE) j = i - acs;
    else if (access == ACS_PROTECTED && acs == ACS_PUBLIC) j = i - 1;
    // Should the target list be the one read (a class merged into
    // itself), every entry is in it already and none is appended, so the
    // entries read stay where they are.
    for (const std::string &e : b.elems[i]) add_toclass(&info, j, e);
  }
}

// Merges the bases of a class into it once, each base's own bases first; a
// class whose merge is under way is skipped, which breaks cycles of bases.
// The walk keeps its own stack, so that a chain of bases of any length
// cannot exhaust the call stack.
static void collect_parents(const std::string &name, class_info &info) {
  if (collected_parents.count(name)) return;
  struct frame {
    const std::string *name;
    class_info *info;
    size_t next; // the base to look at next
  };
  std::vector<frame> stack{{&name, &info, 0}};
  work_parents.insert(name);
  while (!stack.empty()) {
    frame &f = stack.back();
    if (f.next == f.info->parents.size()) {
      work_parents.erase(*f.name);
      collected_parents.insert(*f.name);
      stack.pop_back();
      continue;
    }
    const std::pair<int, std::string> &base = f.info->parents[f.next];
    auto it = classes.find(base.second);
    if (it == classes.end() || work_parents.count(base.second)) {
      ++f.next;
    } else if (!collected_parents.count(base.second)) {
      // Its bases first; the base is looked at again once they are merged.
      work_parents.insert(base.second);
      stack.push_back({&it->first, &it->second, 0});
    } else {
      merge_members(*f.info, base.first, it->second);
      ++f.next;
    }
  }
}

void collect_parent_elems(class_info &info, int access, const std::string &base) {
  auto it = classes.find(base);
  if (it == classes.end() || work_parents.count(base)) return;
  collect_parents(base, it->second);
  merge_members(info, access, it->second);
}

namespace {

// The summary is gathered in a buffer and handed to the stream in large
// pieces.
class summary_writer {
public:
  explicit summary_writer(std::ostream &out) : out_(out) { buf_.reserve(limit + 4096); }
  ~summary_writer() { flush(); }
  summary_writer &operator<<(const std::string &s) {
    buf_ += s;
    return spill();
  }
  summary_writer &operator<<(const char *s) {
    buf_ += s;
    return spill();
  }
  summary_writer &operator<<(char c) {
    buf_ += c;
    return spill();
  }
  // One entry per line: a newline inside an entry (a raw string in a
  // default argument) is written as a blank.
  summary_writer &entry(std::string_view e) {
    size_t from = buf_.size();
    buf_ += e;
    if (e.find('\n') != std::string_view::npos)
      for (size_t i = from; i < buf_.size(); ++i)
        if (buf_[i] == '\n') buf_[i] = ' ';
    return spill();
  }
  void flush() {
    out_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
    buf_.clear();
  }

private:
  static constexpr size_t limit = 1 << 20;
  summary_writer &spill() {
    if (buf_.size() >= limit) flush();
    return *this;
  }
  std::ostream &out_;
  std::string buf_;
};

// A source file name: ".c" or ".cpp" at the end (src_re).
bool is_source_name(const std::string &name) {
  return ends_with(name, ".c") || ends_with(name, ".cpp");
}

// A global entry with the first sixteen bytes of its text, read as two
// big-endian numbers.
struct keyed_global {
  uint64_t high, low;
  std::string_view text;
  const std::string *file;
};

// The entries of globals in byte order of their texts. The numbers settle
// most comparisons without following the pointer to the text (many names
// share a prefix of eight bytes, "__NR_..." and the like); equal prefixes
// fall back to comparing the whole texts.
std::vector<keyed_global> sorted_globals() {
  auto number = [](const unsigned char *b) {
    uint64_t n = 0;
    for (int i = 0; i < 8; ++i) n = n << 8 | b[i];
    return n;
  };
  std::vector<keyed_global> keys;
  keys.reserve(globals.size());
  for (const global_table::value_type g : globals) {
    unsigned char b[16] = {};
    std::memcpy(b, g.first.data(), std::min<size_t>(16, g.first.size()));
    keys.push_back({number(b), number(b + 8), g.first, &g.second});
  }
  std::sort(keys.begin(), keys.end(), [](const keyed_global &a, const keyed_global &b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    return a.text < b.text;
  });
  return keys;
}

} // namespace

void write_summary(std::ostream &stream) {
  summary_writer out(stream);
  // The header line. Each include set is widened by one level, in key
  // order: the sets of the names it includes are gathered first and added
  // afterwards, so names added here are not themselves expanded.
  out << '#';
  for (auto &h : headers) {
    if (!is_source_name(h.first)) out << ' ' << h.first;
    std::set<std::string> wider;
    for (const std::string &name : h.second.includes) {
      auto it = headers.find(name);
      if (it != headers.end())
        wider.insert(it->second.includes.begin(), it->second.includes.end());
    }
    h.second.includes.insert(wider.begin(), wider.end());
  }
  out << '\n';

  for (const auto &h : headers) {
    if (h.second.includes.empty()) continue;
    out << '!' << h.first;
    for (const std::string &name : h.second.includes) out << ' ' << name;
    out << " #<#>\n";
  }

  for (const keyed_global &g : sorted_globals()) out.entry(g.text) << " #<" << *g.file << ">\n";

  for (auto &c : classes) {
    // "\t", the name with each "::" written as ":" (what sub_re replaces,
    // left to right), and the member mark.
    std::string prefix = "\t";
    for (size_t i = 0; i < c.first.size(); ++i) {
      prefix += c.first[i];
      if (c.first.compare(i, 2, "::") == 0) ++i;
    }
    const size_t name_end = prefix.size();
    const std::string tail = " #<" + c.second.file + ">\n";
    collect_parents(c.first, c.second);
    for (int j = 0; j < 9; ++j) {
      prefix.resize(name_end);
      prefix += acs_code[j];
      for (const std::string &e : c.second.elems[j]) (out << prefix).entry(e) << tail;
    }
  }
}

void read_summary(std::istream &in) {
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    if (!line.empty() && line[0] == '!') {
      char bang;
      std::string name, word;
      words >> bang >> name;
      header_info &info = stdheaders[name];
      while (words >> word)
        if (word[0] != '#') info.includes.insert(word);
    } else {
      std::string a, b;
      if ((words >> a >> b) && (b == "_type_" || b == "_spec_")) alltypes.insert(a);
    }
  }
}
