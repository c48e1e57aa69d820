#include "tools/feedgen/horse_namer.h"

#include "tools/feedgen/kana.h"

namespace sorvix::feedgen {

const std::vector<Word>& NameWords() {
  static const std::vector<Word> words = [] {
    std::vector<Word> all = HorseWords();
    all.insert(all.end(), ColourWords().begin(), ColourWords().end());
    all.insert(all.end(), SemiVoicedWords().begin(), SemiVoicedWords().end());
    return all;
  }();
  return words;
}

HorseNamer::HorseNamer()
    : general_(static_cast<int>(HorseWords().size())),
      colourEnd_(static_cast<int>(HorseWords().size() + ColourWords().size())) {
  for (const std::string& name : ReservedHorseNames()) used_.insert(name);
  // Colour words alone are not names.
  for (const Word& w : ColourWords()) used_.insert(w.kana);
  for (int i = 0; i < general_; ++i)
    if (CharCount(NameWords()[static_cast<size_t>(i)].kana) <= 2) shortWords_.push_back(i);
}

bool HorseNamer::Accept(const std::string& utf8) {
  int n = CharCount(utf8);
  if (n < 2 || n > 9) return false;
  return used_.insert(utf8).second;
}

int HorseNamer::ShortWord(Rng& rng) const {
  return shortWords_[static_cast<size_t>(rng.Below(static_cast<int>(shortWords_.size())))];
}

MadeName HorseNamer::Make(Rng& rng, int crown, int shared) {
  const std::vector<Word>& words = NameWords();
  int total = static_cast<int>(words.size());
  auto general = [&] { return rng.Below(general_); };
  auto colour = [&] { return general_ + rng.Below(colourEnd_ - general_); };
  auto semi = [&] { return colourEnd_ + rng.Below(total - colourEnd_); };
  for (int attempt = 0; attempt < 400; ++attempt) {
    std::vector<int> parts;
    bool withCrown = false;
    if (shared >= 0) {
      int other = general();
      parts = rng.Chance(0.5) ? std::vector<int>{shared, other} : std::vector<int>{other, shared};
    } else if (crown >= 0 && rng.Chance(0.6)) {
      withCrown = true;
      double r = rng.Unit();
      parts = {r < 0.1 ? colour() : r < 0.14 ? semi() : general()};
    } else {
      double r = rng.Unit();
      if (r < 0.10 && attempt < 50) {
        parts = {general()};
      } else if (r < 0.16 && attempt < 100) {
        parts = {ShortWord(rng), ShortWord(rng)};
        if (parts[0] == parts[1]) continue;
      } else if (r < 0.25) {
        parts = rng.Chance(0.6) ? std::vector<int>{colour(), general()}
                                : std::vector<int>{general(), colour()};
      } else if (r < 0.33) {
        parts = {semi(), general()};
      } else {
        parts = {general(), general()};
        if (parts[0] == parts[1]) continue;
      }
    }
    if (attempt >= 300) parts.push_back(general());  // rare: make room among used names
    std::string utf8, latin;
    if (withCrown) {
      utf8 = Crowns()[static_cast<size_t>(crown)].kana;
      latin = Crowns()[static_cast<size_t>(crown)].latin;
    }
    for (int p : parts) {
      utf8 += words[static_cast<size_t>(p)].kana;
      if (!latin.empty()) latin += ' ';
      latin += words[static_cast<size_t>(p)].latin;
    }
    if (!Accept(utf8)) continue;
    return MadeName{utf8, latin, parts};
  }
  // Practically unreachable: a plain three-word name cut to nine characters.
  for (int i = 0;; ++i) {
    std::vector<std::string> chars = Utf8Chars(words[static_cast<size_t>(general())].kana +
                                               words[static_cast<size_t>(general())].kana +
                                               words[static_cast<size_t>(general())].kana);
    std::string utf8;
    for (size_t c = 0; c < chars.size() && c < 9; ++c) utf8 += chars[c];
    if (Accept(utf8)) return MadeName{utf8, "Unnamed " + std::to_string(i), {}};
  }
}

}  // namespace sorvix::feedgen
