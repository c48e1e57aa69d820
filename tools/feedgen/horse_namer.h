// HorseNamer: unique katakana horse names of 2 to 9 characters, composed of
// pool words (an owner's crown, colour words, words starting with パ … ポ,
// names sharing a word with a parent), with their Latin spelling.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "tools/feedgen/name_pools.h"
#include "tools/feedgen/rng.h"

namespace sorvix::feedgen {

struct MadeName {
  std::string utf8;
  std::string latin;
  std::vector<int> words;  // NameWords() indexes
};

// All words a name can be built from: HorseWords, then ColourWords, then
// SemiVoicedWords.
const std::vector<Word>& NameWords();

class HorseNamer {
 public:
  HorseNamer();

  // A new name.  `crown` ≥ 0 (a Crowns() index) puts the owner's crown in
  // front of most names; `shared` ≥ 0 (a NameWords() index) is a word the
  // name must contain.
  MadeName Make(Rng& rng, int crown = -1, int shared = -1);

 private:
  bool Accept(const std::string& utf8);
  int ShortWord(Rng& rng) const;  // a word of two characters
  std::unordered_set<std::string> used_;
  int general_ = 0;  // NameWords()[0, general_) are HorseWords
  int colourEnd_ = 0;
  std::vector<int> shortWords_;
};

}  // namespace sorvix::feedgen
