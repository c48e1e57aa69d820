#include "tools/feedgen/name_pools.h"

namespace sorvix::feedgen {
namespace {

std::vector<Word> Pairs(std::initializer_list<std::pair<const char*, const char*>> items) {
  std::vector<Word> out;
  for (const auto& [kana, latin] : items) out.push_back(Word{kana, latin});
  return out;
}

std::vector<NamePart> Parts(std::initializer_list<std::initializer_list<const char*>> items) {
  std::vector<NamePart> out;
  for (const auto& item : items) {
    auto it = item.begin();
    NamePart part;
    part.kanji = *it++;
    part.kana = *it++;
    part.latin = *it;
    out.push_back(part);
  }
  return out;
}

std::vector<RaceWord> RaceWords(std::initializer_list<std::pair<const char*, const char*>> items) {
  std::vector<RaceWord> out;
  for (const auto& [kanji, latin] : items) out.push_back(RaceWord{kanji, latin});
  return out;
}

}  // namespace

const std::vector<Word>& HorseWords() {
  static const std::vector<Word> words = Pairs({
      {"スター", "Star"},
      {"ムーン", "Moon"},
      {"ソング", "Song"},
      {"リバー", "River"},
      {"ライト", "Light"},
      {"ブリーズ", "Breeze"},
      {"ノヴァ", "Nova"},
      {"ステラ", "Stella"},
      {"ルミナ", "Lumina"},
      {"アリア", "Aria"},
      {"カノン", "Canon"},
      {"ソナタ", "Sonata"},
      {"ワルツ", "Waltz"},
      {"メロディ", "Melody"},
      {"リズム", "Rhythm"},
      {"ハーモニー", "Harmony"},
      {"ガーデン", "Garden"},
      {"ゲート", "Gate"},
      {"ロード", "Road"},
      {"ボルト", "Bolt"},
      {"ジェット", "Jet"},
      {"ダッシュ", "Dash"},
      {"ブレイブ", "Brave"},
      {"ガッツ", "Guts"},
      {"ビート", "Beat"},
      {"ドリーム", "Dream"},
      {"ヴィーナス", "Venus"},
      {"ゼファー", "Zephyr"},
      {"ジュエル", "Jewel"},
      {"グローリー", "Glory"},
      {"ドラゴン", "Dragon"},
      {"バロン", "Baron"},
      {"ベル", "Bell"},
      {"ボヌール", "Bonheur"},
      {"デューク", "Duke"},
      {"ディーバ", "Diva"},
      {"エース", "Ace"},
      {"オーラ", "Aura"},
      {"クオーレ", "Cuore"},
      {"サンバ", "Samba"},
      {"タンゴ", "Tango"},
      {"フーガ", "Fuga"},
      {"ミラージュ", "Mirage"},
      {"ラプソディ", "Rhapsody"},
      {"ルージュ", "Rouge"},
      {"レガシー", "Legacy"},
      {"ロマン", "Roman"},
      {"ワンダー", "Wonder"},
      {"ハヤテ", "Hayate"},
      {"ツバメ", "Tsubame"},
      {"カエデ", "Kaede"},
      {"サクヤ", "Sakuya"},
      {"ミライ", "Mirai"},
      {"シグレ", "Shigure"},
      {"コガネ", "Kogane"},
      {"ユキ", "Yuki"},
      {"モミジ", "Momiji"},
      {"ヒバリ", "Hibari"},
      {"チドリ", "Chidori"},
      {"ホムラ", "Homura"},
      {"イカズチ", "Ikazuchi"},
      {"スバル", "Subaru"},
      {"ミヤビ", "Miyabi"},
      {"カグラ", "Kagura"},
      {"フォルテ", "Forte"},
      {"アレグロ", "Allegro"},
      {"カデンツァ", "Cadenza"},
      {"セレナーデ", "Serenade"},
      {"ノクターン", "Nocturne"},
      {"エトワール", "Etoile"},
      {"ソレイユ", "Soleil"},
      {"シャルム", "Charme"},
      {"フルール", "Fleur"},
      {"クレール", "Claire"},
      {"アンジュ", "Ange"},
      {"ティアラ", "Tiara"},
      {"クラウン", "Crown"},
      {"キングダム", "Kingdom"},
      {"エンパイア", "Empire"},
      {"ナイト", "Knight"},
      {"ランサー", "Lancer"},
      {"アーチャー", "Archer"},
      {"セイバー", "Saber"},
      {"シールド", "Shield"},
      {"アロー", "Arrow"},
      {"ブレード", "Blade"},
      {"ハンマー", "Hammer"},
      {"ファルコン", "Falcon"},
      {"イーグル", "Eagle"},
      {"スワン", "Swan"},
      {"ロビン", "Robin"},
      {"フェニックス", "Phoenix"},
      {"グリフォン", "Griffon"},
      {"ユニコーン", "Unicorn"},
      {"タイガー", "Tiger"},
      {"ウルフ", "Wolf"},
      {"ジャガー", "Jaguar"},
      {"コメット", "Comet"},
      {"メテオ", "Meteor"},
      {"オーロラ", "Aurora"},
      {"サイクロン", "Cyclone"},
      {"テンペスト", "Tempest"},
      {"サンダー", "Thunder"},
      {"ストーム", "Storm"},
      {"レイン", "Rain"},
      {"スノー", "Snow"},
      {"ミスト", "Mist"},
      {"クラウド", "Cloud"},
      {"スカイ", "Sky"},
      {"マリン", "Marine"},
      {"アイランド", "Island"},
      {"ハーバー", "Harbor"},
      {"ベイ", "Bay"},
      {"ヒル", "Hill"},
      {"バレー", "Valley"},
      {"フィールド", "Field"},
      {"メドウ", "Meadow"},
      {"フォレスト", "Forest"},
      {"リーフ", "Leaf"},
      {"ローズ", "Rose"},
      {"リリー", "Lily"},
      {"デイジー", "Daisy"},
      {"ロータス", "Lotus"},
      {"アイリス", "Iris"},
      {"カメリア", "Camellia"},
      {"ミモザ", "Mimosa"},
      {"ジャスミン", "Jasmine"},
      {"セージ", "Sage"},
      {"ミント", "Mint"},
      {"シナモン", "Cinnamon"},
      {"ショコラ", "Chocolat"},
      {"キャンディ", "Candy"},
      {"マカロン", "Macaron"},
      {"ワッフル", "Waffle"},
      {"ソーダ", "Soda"},
      {"レモン", "Lemon"},
      {"チェリー", "Cherry"},
      {"ベリー", "Berry"},
      {"メロン", "Melon"},
      {"ハート", "Heart"},
      {"スマイル", "Smile"},
      {"ハッピー", "Happy"},
      {"ラッキー", "Lucky"},
      {"チャンス", "Chance"},
      {"ミラクル", "Miracle"},
      {"マジック", "Magic"},
      {"ミステリー", "Mystery"},
      {"ロマンス", "Romance"},
      {"エナジー", "Energy"},
      {"スピード", "Speed"},
      {"ビクトリー", "Victory"},
      {"ヒーロー", "Hero"},
      {"レジェンド", "Legend"},
      {"マスター", "Master"},
      {"クイーン", "Queen"},
      {"レディ", "Lady"},
      {"ジェントル", "Gentle"},
      {"ノーブル", "Noble"},
      {"ロイヤル", "Royal"},
      {"カリスマ", "Charisma"},
      {"ドルチェ", "Dolce"},
      {"ガイア", "Gaia"},
      {"ゼウス", "Zeus"},
      {"アポロ", "Apollo"},
      {"アテナ", "Athena"},
      {"タイタン", "Titan"},
      {"アトラス", "Atlas"},
      {"オリオン", "Orion"},
      {"シリウス", "Sirius"},
      {"ベガ", "Vega"},
      {"アルタイル", "Altair"},
      {"リゲル", "Rigel"},
      {"カペラ", "Capella"},
      {"スピカ", "Spica"},
      {"デネブ", "Deneb"},
      {"アンタレス", "Antares"},
      {"スーパー", "Super"},
      {"ルーラー", "Ruler"},
      {"ヨット", "Yacht"},
      {"ミユ", "Miyu"},
      {"ハナ", "Hana"},
      {"サラ", "Sara"},
      {"ルナ", "Luna"},
      {"ゴー", "Go"},
      {"ビビ", "Bibi"},
      {"ジジ", "Gigi"},
  });
  return words;
}

const std::vector<Word>& ColourWords() {
  static const std::vector<Word> words = Pairs({
      {"ホワイト", "White"},  {"シロ", "Shiro"},      {"ブラック", "Black"},
      {"クロ", "Kuro"},       {"レッド", "Red"},      {"アカ", "Aka"},
      {"ブルー", "Blue"},     {"アオ", "Ao"},         {"イエロー", "Yellow"},
      {"キイロ", "Kiiro"},    {"グリーン", "Green"},  {"ミドリ", "Midori"},
      {"オレンジ", "Orange"}, {"ピンク", "Pink"},     {"モモ", "Momo"},
      {"ゴールド", "Gold"},   {"キン", "Kin"},        {"シルバー", "Silver"},
      {"ギン", "Gin"},        {"パープル", "Purple"}, {"ムラサキ", "Murasaki"},
      {"グレー", "Grey"},     {"コン", "Kon"},        {"エンジ", "Enji"},
  });
  return words;
}

const std::vector<Word>& SemiVoicedWords() {
  static const std::vector<Word> words = Pairs({
      {"パレード", "Parade"},   {"ピアノ", "Piano"},     {"プリズム", "Prism"},
      {"ペガサス", "Pegasus"},  {"ポラリス", "Polaris"}, {"パステル", "Pastel"},
      {"ピクシー", "Pixie"},    {"プラチナ", "Platina"}, {"ペンタス", "Pentas"},
      {"ポエム", "Poem"},       {"パズル", "Puzzle"},    {"ピエロ", "Pierrot"},
      {"プラネット", "Planet"}, {"ペンギン", "Penguin"}, {"ポップ", "Pop"},
      {"パイン", "Pine"},       {"ピース", "Peace"},     {"プレリュード", "Prelude"},
      {"ペルル", "Perle"},      {"ポルカ", "Polka"},
  });
  return words;
}

const std::vector<Word>& Crowns() {
  static const std::vector<Word> words = Pairs({
      {"カザネ", "Kazane"},    {"ミナモ", "Minamo"},     {"ソラノ", "Sorano"},
      {"アマネ", "Amane"},     {"コハク", "Kohaku"},     {"シズク", "Shizuku"},
      {"ツムギ", "Tsumugi"},   {"ユウナギ", "Yunagi"},   {"ホシゾラ", "Hoshizora"},
      {"ルリイロ", "Ruriiro"}, {"サザナミ", "Sazanami"}, {"ミカゲ", "Mikage"},
      {"オボロ", "Oboro"},     {"イブキ", "Ibuki"},      {"アサギ", "Asagi"},
      {"トワノ", "Towano"},    {"ナギサ", "Nagisa"},     {"カナデ", "Kanade"},
      {"ヒビキ", "Hibiki"},    {"マホロ", "Mahoro"},     {"ツクヨ", "Tsukuyo"},
      {"ハナミ", "Hanami"},    {"セツナ", "Setsuna"},    {"ユメノ", "Yumeno"},
      {"クオン", "Kuon"},      {"アオバ", "Aoba"},       {"ゲンブ", "Gembu"},
      {"ザクロ", "Zakuro"},
  });
  return words;
}

const std::vector<std::string>& LatinHorseNames() {
  static const std::vector<std::string> names = {
      "Silver Comet",    "Northern Quest", "Royal Harbor",    "Storm Beacon",    "Gallant Ridge",
      "Crimson Sail",    "Quiet Thunder",  "Lucky Meridian",  "Golden Orchard",  "Brave Lantern",
      "Misty Harbour",   "Desert Falcon",  "Velvet Crown",    "Iron Compass",    "Summer Tide",
      "Arctic Ember",    "Copper Sky",     "Noble Voyager",   "Wild Prairie",    "Hidden Canyon",
      "Morning Regent",  "Scarlet Dune",   "Emerald Coast",   "Distant Echo",    "Proud Warrior",
      "Silent Glacier",  "Amber Rapids",   "Midnight Sonnet", "Gentle Baron",    "Rolling Meadow",
      "Crystal Harbor",  "Tall Timber",    "Ocean Minstrel",  "Sunset Cavalier", "Bold Pioneer",
      "Highland Spirit", "Winter Lyric",   "Autumn Sentinel", "Lunar Tempest",   "River Monarch",
  };
  return names;
}

const std::vector<std::string>& ReservedHorseNames() {
  static const std::vector<std::string> names = {
      "ゴールドドリーム", "ブラックホーク",     "ホワイトフーガ",     "オーシャンブルー",
      "ゴールドシップ",   "キングヘイロー",     "スーパークリーク",   "レッドディザイア",
      "シルバーステート", "ブラックタイド",     "ロードカナロア",     "ドリームジャーニー",
      "グリーングラス",   "ミラクルアドマイヤ", "スカイディグニティ",
  };
  return names;
}

const std::vector<NamePart>& Surnames() {
  static const std::vector<NamePart> parts = Parts({
      {"田中", "タナカ", "Tanaka"},
      {"佐藤", "サトウ", "Sato"},
      {"鈴木", "スズキ", "Suzuki"},
      {"高橋", "タカハシ", "Takahashi"},
      {"渡辺", "ワタナベ", "Watanabe"},
      {"伊藤", "イトウ", "Ito"},
      {"山本", "ヤマモト", "Yamamoto"},
      {"中村", "ナカムラ", "Nakamura"},
      {"小林", "コバヤシ", "Kobayashi"},
      {"加藤", "カトウ", "Kato"},
      {"吉田", "ヨシダ", "Yoshida"},
      {"山田", "ヤマダ", "Yamada"},
      {"佐々木", "ササキ", "Sasaki"},
      {"山口", "ヤマグチ", "Yamaguchi"},
      {"松本", "マツモト", "Matsumoto"},
      {"井上", "イノウエ", "Inoue"},
      {"木村", "キムラ", "Kimura"},
      {"林", "ハヤシ", "Hayashi"},
      {"清水", "シミズ", "Shimizu"},
      {"山崎", "ヤマザキ", "Yamazaki"},
      {"森", "モリ", "Mori"},
      {"池田", "イケダ", "Ikeda"},
      {"橋本", "ハシモト", "Hashimoto"},
      {"阿部", "アベ", "Abe"},
      {"石川", "イシカワ", "Ishikawa"},
      {"前田", "マエダ", "Maeda"},
      {"藤井", "フジイ", "Fujii"},
      {"岡田", "オカダ", "Okada"},
      {"後藤", "ゴトウ", "Goto"},
      {"長谷川", "ハセガワ", "Hasegawa"},
      {"村上", "ムラカミ", "Murakami"},
      {"近藤", "コンドウ", "Kondo"},
      {"石井", "イシイ", "Ishii"},
      {"坂本", "サカモト", "Sakamoto"},
      {"遠藤", "エンドウ", "Endo"},
      {"青木", "アオキ", "Aoki"},
      {"藤原", "フジワラ", "Fujiwara"},
      {"西村", "ニシムラ", "Nishimura"},
      {"福田", "フクダ", "Fukuda"},
      {"太田", "オオタ", "Ota"},
      {"三浦", "ミウラ", "Miura"},
      {"岡本", "オカモト", "Okamoto"},
      {"松田", "マツダ", "Matsuda"},
      {"中川", "ナカガワ", "Nakagawa"},
      {"中野", "ナカノ", "Nakano"},
      {"原田", "ハラダ", "Harada"},
      {"小野", "オノ", "Ono"},
      {"竹内", "タケウチ", "Takeuchi"},
      {"金子", "カネコ", "Kaneko"},
      {"和田", "ワダ", "Wada"},
      {"中山", "ナカヤマ", "Nakayama"},
      {"石田", "イシダ", "Ishida"},
      {"上田", "ウエダ", "Ueda"},
      {"森田", "モリタ", "Morita"},
      {"原", "ハラ", "Hara"},
      {"柴田", "シバタ", "Shibata"},
      {"酒井", "サカイ", "Sakai"},
      {"工藤", "クドウ", "Kudo"},
      {"横田", "ヨコタ", "Yokota"},
      {"宮崎", "ミヤザキ", "Miyazaki"},
      {"宮本", "ミヤモト", "Miyamoto"},
      {"内田", "ウチダ", "Uchida"},
      {"高木", "タカギ", "Takagi"},
      {"安藤", "アンドウ", "Ando"},
      {"谷口", "タニグチ", "Taniguchi"},
      {"大野", "オオノ", "Ohno"},
      {"丸山", "マルヤマ", "Maruyama"},
      {"今井", "イマイ", "Imai"},
      {"河野", "コウノ", "Kono"},
      {"藤田", "フジタ", "Fujita"},
      {"小島", "コジマ", "Kojima"},
      {"北村", "キタムラ", "Kitamura"},
      {"菅原", "スガワラ", "Sugawara"},
      {"野口", "ノグチ", "Noguchi"},
      {"桜井", "サクライ", "Sakurai"},
      {"千葉", "チバ", "Chiba"},
      {"岩崎", "イワサキ", "Iwasaki"},
      {"杉山", "スギヤマ", "Sugiyama"},
      {"新井", "アライ", "Arai"},
      {"荒木", "アラキ", "Araki"},
      {"大塚", "オオツカ", "Otsuka"},
      {"平野", "ヒラノ", "Hirano"},
      {"秋山", "アキヤマ", "Akiyama"},
      {"水野", "ミズノ", "Mizuno"},
      {"浜田", "ハマダ", "Hamada"},
      {"星野", "ホシノ", "Hoshino"},
      {"白石", "シライシ", "Shiraishi"},
      {"堀", "ホリ", "Hori"},
      {"沢村", "サワムラ", "Sawamura"},
      {"梶原", "カジワラ", "Kajiwara"},
  });
  return parts;
}

const std::vector<NamePart>& MaleGivenNames() {
  static const std::vector<NamePart> parts = Parts({
      {"健太", "ケンタ", "Kenta"},
      {"翔太", "ショウタ", "Shota"},
      {"大輔", "ダイスケ", "Daisuke"},
      {"拓也", "タクヤ", "Takuya"},
      {"直樹", "ナオキ", "Naoki"},
      {"和也", "カズヤ", "Kazuya"},
      {"達也", "タツヤ", "Tatsuya"},
      {"誠", "マコト", "Makoto"},
      {"浩二", "コウジ", "Koji"},
      {"隆", "タカシ", "Takashi"},
      {"博之", "ヒロユキ", "Hiroyuki"},
      {"雄一", "ユウイチ", "Yuichi"},
      {"健一", "ケンイチ", "Kenichi"},
      {"亮", "リョウ", "Ryo"},
      {"勇気", "ユウキ", "Yuki"},
      {"翼", "ツバサ", "Tsubasa"},
      {"悠斗", "ユウト", "Yuto"},
      {"蓮", "レン", "Ren"},
      {"颯太", "ソウタ", "Sota"},
      {"陽介", "ヨウスケ", "Yosuke"},
      {"慎吾", "シンゴ", "Shingo"},
      {"康弘", "ヤスヒロ", "Yasuhiro"},
      {"正人", "マサト", "Masato"},
      {"信也", "シンヤ", "Shinya"},
      {"義男", "ヨシオ", "Yoshio"},
      {"光", "ヒカル", "Hikaru"},
      {"剛", "ツヨシ", "Tsuyoshi"},
      {"聡", "サトシ", "Satoshi"},
      {"淳", "ジュン", "Jun"},
      {"修", "オサム", "Osamu"},
      {"秀樹", "ヒデキ", "Hideki"},
      {"昌弘", "マサヒロ", "Masahiro"},
      {"哲也", "テツヤ", "Tetsuya"},
      {"文彦", "フミヒコ", "Fumihiko"},
      {"智樹", "トモキ", "Tomoki"},
      {"龍之介", "リュウノスケ", "Ryunosuke"},
      {"海斗", "カイト", "Kaito"},
      {"大和", "ヤマト", "Yamato"},
      {"拓海", "タクミ", "Takumi"},
      {"将", "ショウ", "Sho"},
      {"航", "ワタル", "Wataru"},
      {"圭", "ケイ", "Kei"},
      {"駿", "シュン", "Shun"},
      {"晴", "ハル", "Haru"},
      {"隼人", "ハヤト", "Hayato"},
      {"弘樹", "ヒロキ", "Hiroki"},
      {"俊介", "シュンスケ", "Shunsuke"},
      {"誠司", "セイジ", "Seiji"},
      {"勝", "マサル", "Masaru"},
      {"豊和", "トヨカズ", "Toyokazu"},
      {"吾郎", "ゴロウ", "Goro"},
  });
  return parts;
}

const std::vector<NamePart>& FemaleGivenNames() {
  static const std::vector<NamePart> parts = Parts({
      {"美咲", "ミサキ", "Misaki"},
      {"菜々子", "ナナコ", "Nanako"},
      {"彩", "アヤ", "Aya"},
      {"優花", "ユウカ", "Yuka"},
      {"真央", "マオ", "Mao"},
      {"里奈", "リナ", "Rina"},
      {"沙織", "サオリ", "Saori"},
      {"舞", "マイ", "Mai"},
      {"遥", "ハルカ", "Haruka"},
      {"結衣", "ユイ", "Yui"},
      {"凛", "リン", "Rin"},
      {"莉子", "リコ", "Riko"},
      {"千尋", "チヒロ", "Chihiro"},
      {"明日香", "アスカ", "Asuka"},
      {"葵", "アオイ", "Aoi"},
  });
  return parts;
}

const std::vector<ForeignName>& ForeignRiders() {
  static const std::vector<ForeignName> names = {
      {"ピエール", "ヴァラン", "ヴァラン", "Pierre Valin", "フランス"},
      {"トマス", "ベルナル", "ベルナル", "Thomas Bernal", "イギリス"},
      {"マルコ", "フィオレ", "フィオレ", "Marco Fiore", "イタリア"},
      {"ジャック", "ランベル", "ランベル", "Jack Lambell", "オーストラリア"},
      {"ハンス", "ゼーガー", "ゼーガー", "Hans Seeger", "ドイツ"},
      {"ルーク", "カーヴァー", "Ｌ．カー", "Luke Carver", "アイルランド"},
      {"ダニエル", "モレノ", "Ｄ．モレ", "Daniel Moreno", "アメリカ"},
  };
  return names;
}

const std::vector<ForeignName>& ForeignTrainers() {
  static const std::vector<ForeignName> names = {
      {"ウィリアム", "ハロウェイ", "ハロウェ", "William Halloway", "香港"},
      {"アンリ", "デュボワ", "デュボワ", "Henri Duboix", "フランス"},
      {"ショーン", "オマリー", "オマリー", "Sean Omalley", "アイルランド"},
  };
  return names;
}

const std::vector<std::string>& Birthplaces() {
  static const std::vector<std::string> places = {
      "新冠町", "浦河町",   "日高町", "新ひだか町", "安平町",   "むかわ町", "平取町",
      "様似町", "えりも町", "千歳市", "苫小牧市",   "洞爺湖町", "伊達市",   "青森県",
      "岩手県", "鹿児島県", "宮崎県", "熊本県",     "茨城県",
  };
  return places;
}

const std::vector<std::string>& ForeignBirthplaces() {
  static const std::vector<std::string> places = {"アメリカ", "アイルランド", "イギリス",
                                                  "フランス", "オーストラリア"};
  return places;
}

const std::vector<std::string>& LocalRegions() {
  static const std::vector<std::string> regions = {"大井", "川崎", "船橋", "浦和", "園田", "名古屋",
                                                   "金沢", "笠松", "高知", "佐賀", "門別", "盛岡"};
  return regions;
}

const std::vector<std::string>& ForeignRegions() {
  static const std::vector<std::string> regions = {"香港",     "アイルランド", "フランス",
                                                   "イギリス", "アメリカ",     "オーストラリア"};
  return regions;
}

const std::vector<std::string>& LatinBreeders() {
  static const std::vector<std::string> names = {
      "Willow Creek Farm", "Stonebridge Stud", "Hollowmere Farms",  "Ashgrove Bloodstock",
      "Kestrel Hill Stud", "Maple Run Farm",   "Brackenfield Stud", "Larkspur Estate",
  };
  return names;
}

const std::vector<std::string>& CompanyWords() {
  static const std::vector<std::string> words = {
      "青嵐商事", "白鷺興産",   "北辰物産", "東雲企画", "紅陽産業", "瑞穂開発", "朝霧工業",
      "旭光商会", "若葉不動産", "碧水観光", "清風建設", "山彦運輸", "明星食品", "天洋海運",
  };
  return words;
}

const std::vector<Word>& OwnerSuffixes() {
  static const std::vector<Word> words = Pairs({
      {"レーシング", "Racing"},
      {"ホースクラブ", "Horse Club"},
      {"ファーム", "Farm"},
      {"ステーブル", "Stable"},
      {"サラブレッドクラブ", "Thoroughbred Club"},
  });
  return words;
}

const std::vector<std::string>& SilkColours() {
  static const std::vector<std::string> colours = {"赤", "青",   "黄", "緑",   "紫", "白",   "黒",
                                                   "桃", "水色", "茶", "薄紫", "灰", "海老", "紺"};
  return colours;
}

const std::vector<std::string>& SilkPatterns() {
  static const std::vector<std::string> patterns = {
      "星散",   "山形一本輪", "縦縞",   "一本輪", "襷",   "二本輪", "玉霰",
      "菱山形", "鋸歯形",     "十字襷", "三本輪", "格子", "銭形散", "帯",
  };
  return patterns;
}

const std::vector<RaceWord>& SeasonWords(int season) {
  static const std::vector<RaceWord> words[4] = {
      RaceWords({{"寒梅", "Kambai"},
                 {"白梅", "Hakubai"},
                 {"早春", "Soshun"},
                 {"雪見", "Yukimi"},
                 {"冬晴", "Fuyubare"},
                 {"初霜", "Hatsushimo"},
                 {"菜の花", "Nanohana"},
                 {"桃花", "Toka"},
                 {"睦月", "Mutsuki"},
                 {"如月", "Kisaragi"}}),
      RaceWords({{"若葉", "Wakaba"},
                 {"青葉", "Aoba"},
                 {"新緑", "Shinryoku"},
                 {"卯月", "Uzuki"},
                 {"薫風", "Kumpu"},
                 {"初夏", "Shoka"},
                 {"紫陽花", "Ajisai"},
                 {"水無月", "Minazuki"},
                 {"春風", "Harukaze"},
                 {"花吹雪", "Hanafubuki"}}),
      RaceWords({{"夕凪", "Yunagi"},
                 {"潮風", "Shiokaze"},
                 {"白浜", "Shirahama"},
                 {"蒼海", "Sokai"},
                 {"星祭", "Hoshimatsuri"},
                 {"夏雲", "Natsugumo"},
                 {"向日葵", "Himawari"},
                 {"葉月", "Hazuki"},
                 {"長月", "Nagatsuki"},
                 {"漁火", "Isaribi"}}),
      RaceWords({{"錦秋", "Kinshu"},
                 {"秋桜", "Akizakura"},
                 {"霜月", "Shimotsuki"},
                 {"師走", "Shiwasu"},
                 {"初雪", "Hatsuyuki"},
                 {"銀杏", "Icho"},
                 {"月見", "Tsukimi"},
                 {"秋晴", "Akibare"},
                 {"神無月", "Kannazuki"},
                 {"木枯", "Kogarashi"}}),
  };
  return words[season & 3];
}

const std::vector<RaceWord>& GradedWords() {
  static const std::vector<RaceWord> words = RaceWords({
      {"朱雀", "Suzaku"},
      {"青龍", "Seiryu"},
      {"白虎", "Byakko"},
      {"玄武", "Gembu"},
      {"麒麟", "Kirin"},
      {"鳳凰", "Hoo"},
      {"天翔", "Tensho"},
      {"瑞雲", "Zuiun"},
      {"銀嶺", "Ginrei"},
      {"蒼穹", "Sokyu"},
      {"星雲", "Seiun"},
      {"北斗", "Hokuto"},
      {"白鳳", "Hakuho"},
      {"飛燕", "Hien"},
      {"雷鳴", "Raimei"},
      {"翠嶺", "Suirei"},
  });
  return words;
}

const std::vector<RaceWord>& SponsorNames() {
  static const std::vector<RaceWord> words = RaceWords({
      {"東洋日報杯", "Toyo Nippo Hai"},
      {"北辰放送賞", "Hokushin Hoso Sho"},
      {"関東新報杯", "Kanto Shimpo Hai"},
      {"西日本報知杯", "Nishinihon Hochi Hai"},
      {"中央日報杯", "Chuo Nippo Hai"},
  });
  return words;
}

}  // namespace sorvix::feedgen
