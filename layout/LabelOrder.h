// The alphabetical order of labels among a scanned folder's children, as the
// user's language sorts them (ICU's collator for the locale of LC_ALL,
// LC_COLLATE or LANG, the first one set; C and POSIX mean the neutral root
// order): letters by their place in that alphabet whatever their case, also
// outside ASCII (under de_DE ä sorts with a, under sv_SE after z). Where two
// names differ only there, accents decide (a letter without accent first),
// then case (lower case first), and at last the bytes: two different names
// never compare equal, so the order does not depend on the listing's.
//
// A label that is not valid UTF-8 is read one character per byte (Latin-1),
// as the tree shows it, and sorts where that text sorts; the bytes break the
// tie with the UTF-8 name that shows the same.
#pragma once

#include <memory>
#include <string>

struct UCollator;

class LabelOrder {
 public:
  // `locale` as ICU names one ("de_DE", "sv"); "" is the root order. A locale
  // ICU has no rules for falls back to its language's, then to the root's.
  explicit LabelOrder(const std::string& locale);
  ~LabelOrder();
  LabelOrder(const LabelOrder&) = delete;
  LabelOrder& operator=(const LabelOrder&) = delete;

  // A key whose byte order is the order. Without a collator (ICU's data
  // could not be opened) keys are the bytes alone.
  std::string SortKey(const std::string& label) const;

 private:
  struct CloseCollator {
    void operator()(UCollator* collator) const;
  };
  std::unique_ptr<UCollator, CloseCollator> m_collator;
};

// The ICU locale of the collation the environment asks for: the first of the
// three variables that is set and not empty; its codeset (".UTF-8") dropped;
// "" (the root order) for C, POSIX or none.
std::string CollationLocale(const char* lcAll, const char* lcCollate, const char* lang);

// LabelOrder's key under the locale of this process's environment, read once.
std::string LabelSortKey(const std::string& label);
