// The pools the feed's names are drawn from: words for horse names, crown
// prefixes of owners, parts of people's names, places, racing colours and
// race-name words.  All texts are UTF-8 here; the entities convert them to
// CP932 once when they are created.  No pool entry names a real horse or
// person; names are compositions of ordinary words and common name parts.
#pragma once

#include <string>
#include <vector>

namespace sorvix::feedgen {

struct Word {
  std::string kana;   // full-width katakana
  std::string latin;  // the word in Latin letters
};

struct NamePart {
  std::string kanji;
  std::string kana;  // full-width katakana reading
  std::string latin;
};

struct ForeignName {
  std::string given;  // katakana
  std::string family;
  std::string shortName;  // four characters at most
  std::string latin;      // "Given Family"
  std::string region;     // the region the rider comes from
};

struct RaceWord {
  std::string kanji;
  std::string latin;
};

const std::vector<Word>& HorseWords();
// The colour words the signs look for (ホワイト … エンジ), in that order.
const std::vector<Word>& ColourWords();
// Words beginning with パ, ピ, プ, ペ or ポ.
const std::vector<Word>& SemiVoicedWords();
const std::vector<Word>& Crowns();
// Foreign sire and ancestor names in Latin letters.
const std::vector<std::string>& LatinHorseNames();
// Names of real horses that a composition must never produce.
const std::vector<std::string>& ReservedHorseNames();

const std::vector<NamePart>& Surnames();
const std::vector<NamePart>& MaleGivenNames();
const std::vector<NamePart>& FemaleGivenNames();
const std::vector<ForeignName>& ForeignRiders();
const std::vector<ForeignName>& ForeignTrainers();

const std::vector<std::string>& Birthplaces();
const std::vector<std::string>& ForeignBirthplaces();
const std::vector<std::string>& LocalRegions();    // local racing of invited horses
const std::vector<std::string>& ForeignRegions();  // abroad
const std::vector<std::string>& LatinBreeders();
const std::vector<std::string>& CompanyWords();  // kanji company name stems
const std::vector<Word>& OwnerSuffixes();        // レーシング, ホースクラブ …

const std::vector<std::string>& SilkColours();
const std::vector<std::string>& SilkPatterns();

// Race-name words by season (0 Jan–Mar, 1 Apr–Jun, 2 Jul–Sep, 3 Oct–Dec).
const std::vector<RaceWord>& SeasonWords(int season);
const std::vector<RaceWord>& GradedWords();
const std::vector<RaceWord>& SponsorNames();

}  // namespace sorvix::feedgen
