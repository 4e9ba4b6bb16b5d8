// Pattern texts of the project's own scanners, as lexgen writes them: the
// named sub-patterns of the description scanner, its code-block start
// condition (its longest rule set), and veskan's eleven token rules.
#ifndef LEXGEN_TEST_SAMPLE_PATTERNS_H
#define LEXGEN_TEST_SAMPLE_PATTERNS_H

#include <initializer_list>
#include <string>

namespace samples {

inline const std::string ID = R"re([A-Za-z\xa8\xb8\xc0-\xff][\x2d.0-9A-Z_a-z\xa8\xb8\xc0-\xff]*)re";
inline const std::string CID = R"re([A-Z_a-z][0-9A-Z_a-z]*)re";
inline const std::string TRM =
    R"re((?:'(?:[^\x09\x0a'\x5c]|\\[^\x09\x0a])+')|(?:"(?:[^\x09\x0a"\x5c]|\\[^\x09\x0a])+")|(?:\?[^\x09\x0a\x20\x3f]+\?))re";
inline const std::string CHR = R"re('(?:[^\x0a'\x5c]|\\(?:x[0-9A-Fa-f]+|[0-9]+|.))')re";
inline const std::string STR = R"re("(?:[^\x0a"\x5c]|\\.)*")re";
inline const std::string NUM = R"re(\d+['0-9A-Za-z]*|\d['0-9]*(?:\.['0-9]*)?(?:[Ee][\x2b\x2d]?\d+[0-9A-Za-z]*)?)re";
inline const std::string REF =
    R"re((?:\Q$\E)[0-9]+|(?:\Q$\E)\[(?:(?:[A-Za-z\xa8\xb8\xc0-\xff][\x2d.0-9A-Z_a-z\xa8\xb8\xc0-\xff]*)|(?:'(?:[^\x09\x0a'\x5c]|\\[^\x09\x0a])+')|(?:"(?:[^\x09\x0a"\x5c]|\\[^\x09\x0a])+")|(?:\?[^\x09\x0a\x20\x3f]+\?))\]|(?:\Q$\E)(?:[A-Za-z\xa8\xb8\xc0-\xff][0-9A-Z_a-z\xa8\xb8\xc0-\xff]*))re";
inline const std::string BLOCKCOMMENT = R"re((?:\Q/*\E)(?:.|\n)*?(?:\Q*/\E))re";
inline const std::string ONELINECOMMENT = R"re((?:\Q/*\E).*?(?:\Q*/\E))re";
inline const std::string LINECOMMENT = R"re((?:\Q//\E).*\n)re";

// "(?m)" and the rules, each as a top-level group.
inline std::string rule_set(std::initializer_list<std::string> rules) {
  std::string s = "(?m)";
  for (const std::string& r : rules) s += (s.size() > 4 ? "|(" : "(") + r + ")";
  return s;
}

inline std::string named(const std::string& sub) { return "(?:" + sub + ")"; }

// The code-block condition of the description scanner: 23 rules and the
// catch-all last rule.
inline std::string s_code() {
  return rule_set({named(CHR), named(STR), R"re(R")re", "default", R"re((?:\Q:\E))re", "match", "visitor",
                   R"re(return(?=[\x09\x0a\x0d\x20]*["'\x3f]))re", R"re(token[\x09\x0a\x0d\x20]*(?=["'\x3f]))re",
                   "rule", "visit", named(CID), named(NUM), R"re((?:\Q$$\E)|(?:\Q@$\E))re", named(REF),
                   R"re((?:\Q{\E))re", R"re((?:\Q}\E))re", R"re((?:\Q%}\E))re", R"re([\x09\x0a\x20]+)re",
                   named(ONELINECOMMENT), named(BLOCKCOMMENT), named(LINECOMMENT), ".", R"re(.|\n)re"});
}

// veskan's token rules, the whole pattern text as the scanner builds it.
inline const std::string source_tokens =
    R"re((?m)([\x09\x0a\x20]+)|((?:\Q//\E).*\n)|((?:\Q/*\E)(?:.|\n)*?(?:\Q*/\E))|(^[\x09\x20]*#(?:\\\n|.)*\n)|((?:[A-Z_a-z][0-9A-Z_a-z]*))|((?:\d+['0-9A-Za-z]*|\d['0-9]*(?:\.['0-9]*)?(?:[Ee][\x2b\x2d]?\d+[0-9A-Za-z]*)?))|((?:'(?:[^\x0a'\x5c]|\\(?:x[0-9A-Fa-f]+|[0-9]+|.))'))|((?:"(?:[^\x0a"\x5c]|\\.)*"))|(R")|(::|(?:\Q<<\E))|(.))re";

}  // namespace samples

#endif
