// The code page 932 ConvertText walks the bytes themselves: it must give what decoding,
// converting as UTF-16 and encoding gives (ConvertTextThroughUtf16), byte for byte, with
// the same counters and draws, for every text; and a text converted in pieces must give
// what the whole text gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/Conversion.h"
#include "engine/ConversionBytes.h"
#include "engine/PlainConversion.h"
#include "tests/engine/TestSupport.h"

namespace quillery {
namespace {

using test::Bytes;
using test::Repeat;
using test::Seeded;
using test::Sjis;

// What prose is made of: kanji (亜 is 88 9F, its second byte in the lead byte range),
// kana, the particles and their neighbours in the code page (81 40, 81 45, ゝ, ゛),
// half-width katakana, ASCII, a lone LF.
const std::vector<std::string> kProse = {
    Sjis("私"), Sjis("東京"), Sjis("亜"), Sjis("は"), Sjis("ん"), Sjis("ぁ"), Sjis("、"),
    Sjis("。"), Sjis("，"),   Sjis("．"), Sjis("ア"), Sjis("ヴ"), Sjis("ー"), Sjis("「」"),
    Sjis("ｱ"),  Sjis("｡"),    Sjis("ゝ"), Sjis("゛"), Sjis("　"), Sjis("・"), Sjis("①"),
    Sjis("㈱"), Sjis("髙"),   Sjis("熙"), Sjis("一"), Sjis("腕"), Sjis("弌"), Sjis("院"),
    "a",        "Z9",         " ",        "\t",       "\n",       "\r\n",     "\r\n"};

// Characters the walk must hand to the conversion through UTF-16 wherever they stand:
// those written under another code (NEC-selected IBM rows, NEC row 13 duplicates, IBM row
// FA) and lead bytes whose second byte makes no character (also in the gaps right after
// the last character of the rows of 腕, 熙, ヶ and 〓, and before the first of 亜's and
// 弌's).
const std::vector<std::string> kHandedOn = {
    Bytes("ed40"), Bytes("eeef"), Bytes("fa4a"), Bytes("fa54"), Bytes("fa58"), Bytes("8790"),
    Bytes("879a"), Bytes("817f"), Bytes("81ad"), Bytes("8540"), Bytes("829e"), Bytes("82f2"),
    Bytes("fc4c"), Bytes("8130"), Bytes("9873"), Bytes("989e"), Bytes("8840"), Bytes("889e"),
    Bytes("eaa5"), Bytes("8397"), Bytes("81ad")};

// Bytes the walk must hand on or get exactly right: the above, the user-defined area,
// bytes that do not decode alone (80, A0, FD..FF), lone lead bytes (which may join the
// next byte, or end a line), and CRs that take a byte other than LF along, a lead or a
// second byte among them.
const std::vector<std::string> kUnusual = [] {
    std::vector<std::string> bytes = kHandedOn;
    for (const std::string& b :
         {Bytes("f040"), Bytes("f9fc"), Bytes("80"), Bytes("a0"), Bytes("fd"), Bytes("ff"),
          Bytes("81"), Bytes("e0"), std::string("\r"), std::string("\r\x81"), "\r" + Sjis("東"),
          std::string("\rX")}) {
        bytes.push_back(b);
    }
    return bytes;
}();

std::string RandomText(std::mt19937& rng, std::size_t pieces, int unusualOneIn) {
    std::string text;
    for (std::size_t i = 0; i < pieces; ++i) {
        const bool unusual = unusualOneIn > 0 && rng() % unusualOneIn == 0;
        const auto& pool = unusual ? kUnusual : kProse;
        text += pool[rng() % pool.size()];
    }
    return text;
}

// Keywords as the dictionary reader gives them, escaped bytes included; now and then one
// that ends with a lead byte that lost its second byte, which the walk cannot take.
KeywordList RandomKeywords(std::mt19937& rng) {
    KeywordList list;
    for (std::size_t k = 0, n = 1 + rng() % 6; k < n; ++k) {
        std::string bytes = RandomText(rng, rng() % 8, 6);
        std::erase_if(bytes, [](char c) { return c == '\r' || c == '\n'; });
        list.Append(ThreadCodec().Decode(bytes));
    }
    if (rng() % 8 == 0) {
        list.Append(ThreadCodec().Decode(Sjis("語") + Bytes("89")));
    }
    return list;
}

void ExpectAsThroughUtf16(const std::string& text, const KeywordList& keywords,
                          const ConversionOptions& options, std::uint32_t seed) {
    // In a buffer of its exact size, unlike a string's: a sanitizer build sees a read
    // past the text's end.
    const std::vector<char> exact(text.begin(), text.end());
    RandomSource fastRandom = Seeded(seed), plainRandom = Seeded(seed);
    const auto fast =
        ConvertText(std::string_view(exact.data(), exact.size()), keywords, options, fastRandom);
    const auto plain = ConvertTextThroughUtf16(text, keywords, options, plainRandom);
    ASSERT_EQ(test::SjisToUtf8(fast.text), test::SjisToUtf8(plain.text));
    ASSERT_TRUE(fast.text == plain.text);  // escaped bytes print alike
    ASSERT_EQ(fast.stats, plain.stats);
    ASSERT_EQ(fastRandom.Next(), plainRandom.Next());
}

TEST(ByteWalk, GivesWhatTheConversionThroughUtf16Gives) {
    std::mt19937 rng(11);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        // Mostly prose, so that most lines take the walk, with now and then a byte it
        // must hand on; some lines long enough to cross several 64-byte blocks.
        const std::string text =
            RandomText(rng, rng() % (iteration % 10 == 0 ? 400 : 60), 1 + iteration % 40);
        const ConversionOptions options{static_cast<std::int32_t>(rng() % 11), rng() % 2 == 0};
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        ExpectAsThroughUtf16(text, RandomKeywords(rng), options, rng());
    }
}

// Particles, lead bytes and line ends at every position around the 64-byte blocks the walk
// classifies at once, after runs of single bytes of both parities.
TEST(ByteWalk, BlockEdges) {
    const KeywordList keywords = test::Keywords({"鍵", ""});
    const std::string tails[] = {Sjis("亜亜亜は東、京"), Sjis("はは亜"), Bytes("889f889f88"),
                                 Sjis("。") + Bytes("ed40"), Sjis("東") + "\r" + Sjis("は")};
    for (std::size_t offset = 0; offset < 140; ++offset) {
        for (const std::string& tail : tails) {
            for (const char* end : {"", "\r\n", "\r\nX"}) {
                const std::string text = std::string(offset, 'a') + tail + end;
                SCOPED_TRACE(testing::PrintToString(text));
                ExpectAsThroughUtf16(text, keywords, {7, true}, static_cast<std::uint32_t>(offset));
                ExpectAsThroughUtf16(Sjis("の") + text, keywords, {7, false}, 3);
            }
        }
    }
}

// The walk itself: prose goes through it; a line with anything it cannot copy as it is
// goes back untouched; a line that might go on past the bytes at hand waits for them.
TEST(ByteWalk, TakesProseAndHandsOnTheRest) {
    const KeywordList keywords = test::Keywords({"鍵"});
    const detail::ByteKeywords pool = detail::EncodeKeywords(keywords);
    ASSERT_TRUE(detail::ByteWalkTakesKeywords(keywords));
    const std::string prose = Sjis("吾輩は猫である。名前はまだ無い。東京、大阪、ｱｲｳ①㈱髙");
    struct Outcome {
        detail::ByteLine line;
        std::string out;
        ConversionStats stats;
        RandomSource random;
    };
    const auto walk = [&](const std::string& text, bool textEnds) {
        Outcome o{{}, "before", {1, 2, 3, 4}, Seeded(5)};
        detail::ByteOutput out(o.out);
        o.line =
            detail::ConvertByteLine(text, 0, textEnds, pool, {10, true}, o.random, o.stats, out);
        out.Finish();
        return o;
    };

    const Outcome taken = walk(prose + "\r\n" + prose, true);
    EXPECT_EQ(taken.line.outcome, detail::ByteLine::kConverted);
    EXPECT_EQ(taken.line.next, prose.size() + 2);
    EXPECT_EQ(taken.out, "before" + Sjis("<鍵>吾輩は<鍵>猫である。<鍵>名前はまだ<鍵>無い。"
                                         "<鍵>東京、<鍵>大阪、<鍵>ｱｲｳ①㈱髙\r\n"));
    EXPECT_EQ(taken.stats, (ConversionStats{1, 2 + 7, 3 + 7, 4 + 28 + 7 * 3 + 1}));

    std::vector<std::string> refusedLines;
    for (const std::string& bytes : kHandedOn) {
        refusedLines.push_back(prose + bytes + prose);
        refusedLines.push_back(bytes + prose);
    }
    refusedLines.push_back(prose + Bytes("81"));  // a lead byte at the line's end
    for (const std::string& text : refusedLines) {
        SCOPED_TRACE(testing::PrintToString(text));
        Outcome refused = walk(text + "\r\n", true);
        EXPECT_EQ(refused.line.outcome, detail::ByteLine::kUnusual);
        EXPECT_EQ(refused.out, "before");
        EXPECT_EQ(refused.stats, (ConversionStats{1, 2, 3, 4}));
        EXPECT_EQ(refused.random.Next(), Seeded(5).Next());
    }

    // The last line, or one whose end has not come yet.
    EXPECT_EQ(walk(prose, true).line.outcome, detail::ByteLine::kConverted);
    for (const std::string& text : {prose, prose + "\r", prose + "\r\n", std::string()}) {
        const Outcome waiting = walk(text, false);
        EXPECT_EQ(waiting.line.outcome, detail::ByteLine::kNone);
        EXPECT_EQ(waiting.out, "before");
        EXPECT_EQ(waiting.stats, (ConversionStats{1, 2, 3, 4}));
    }
    EXPECT_EQ(walk(prose + "\r\nX", false).line.outcome, detail::ByteLine::kConverted);
    EXPECT_EQ(walk("\r\n", true).line.outcome, detail::ByteLine::kNone);

    // A keyword ending in a lead byte would be written as "?" or not depending on what
    // follows it; elsewhere an escaped byte goes back as it was.
    const auto decoded = [](const std::string& bytes) { return ThreadCodec().Decode(bytes); };
    KeywordList endsInLead;
    endsInLead.Append(decoded(Sjis("語") + Bytes("81")));
    EXPECT_FALSE(detail::ByteWalkTakesKeywords(endsInLead));
    KeywordList others;
    others.Append(decoded(Bytes("81") + Sjis("語") + Bytes("80ff")));
    others.Append(u"");
    EXPECT_TRUE(detail::ByteWalkTakesKeywords(others));
}

// Every line of prose takes the walk, however long and wherever its characters fall
// against the 64-byte blocks: a fault that hands such lines on shows nowhere else, since
// the conversion through UTF-16 gives the same bytes, only slower.
TEST(ByteWalk, EveryProseLineIsTaken) {
    const KeywordList keywords = test::Keywords({"鍵", ""});
    const detail::ByteKeywords pool = detail::EncodeKeywords(keywords);
    std::vector<std::string> pieces;
    std::copy_if(kProse.begin(), kProse.end(), std::back_inserter(pieces),
                 [](const std::string& p) { return p.find_first_of("\r\n") == p.npos; });
    std::mt19937 rng(7);
    for (int iteration = 0; iteration < 2000; ++iteration) {
        // Up to 65 single bytes first, so that every character meets every block edge.
        std::string line(rng() % 66, 'a');
        for (const std::size_t size = 40 + rng() % 260; line.size() < size;) {
            line += pieces[rng() % pieces.size()];
        }
        const std::string text = line + "\r\nX";
        std::string out;
        detail::ByteOutput output(out);
        RandomSource random = Seeded(static_cast<std::uint32_t>(iteration));
        ConversionStats stats;
        const detail::ByteLine taken =
            detail::ConvertByteLine(text, 0, true, pool, {5, false}, random, stats, output);
        ASSERT_EQ(taken.outcome, detail::ByteLine::kConverted) << testing::PrintToString(line);
        ASSERT_EQ(taken.next, line.size() + 2);
    }
}

// A character written under another code comes out under the one Windows writes, on
// lines the walk hands on and with a keyword it cannot take alike.
TEST(ByteWalk, HandedOnLinesComeOutAsEncoded) {
    KeywordList keywords;
    keywords.Append(ThreadCodec().Decode(Sjis("語") + Bytes("89")));
    // ED 40 reads as 纊, which Windows writes FA 5C; 81 30 is no character: 81 escaped.
    const std::string text = Bytes("ed40") + Sjis("は東京\r\n") + Bytes("8130") + Sjis("は");
    for (const KeywordList& list : {test::Keywords({"X"}), keywords}) {
        RandomSource random = Seeded(1);
        const auto result = ConvertText(text, list, {10, false}, random);
        const std::string keyword = list[0] == u"X" ? "X" : Sjis("語") + "?";
        EXPECT_EQ(result.text, keyword + Bytes("fa5c") + Sjis("は") + keyword + Sjis("東京\r\n") +
                                   keyword + Bytes("8130") + Sjis("は"));
    }
}

// Pieces fed as the converter reads a file: whatever is left over comes again with what
// follows. Returns the number of calls.
int ConvertInPieces(const std::string& text, const KeywordList& keywords,
                    const ConversionOptions& options, RandomSource& random,
                    const std::vector<std::size_t>& cuts, std::string& out,
                    ConversionStats& stats) {
    PieceConversion conversion(keywords, options, random,
                               [&](std::string_view piece) { out += piece; });
    std::string held;
    std::size_t from = 0;
    int calls = 0;
    for (std::size_t k = 0;; ++k) {
        const std::size_t to = k < cuts.size() ? std::min(cuts[k], text.size()) : text.size();
        held += text.substr(from, to - from);
        from = std::max(from, to);
        const bool ends = from == text.size();
        const std::size_t used = conversion.Convert(held, ends);
        ++calls;
        EXPECT_LE(used, held.size());
        if (ends) {
            EXPECT_EQ(used, held.size());
            break;
        }
        held.erase(0, used);
    }
    stats = conversion.Finish();
    return calls;
}

TEST(PieceConversion, AnyCutGivesTheWholeTextsConversion) {
    std::mt19937 rng(5);
    const std::string edges[] = {"",
                                 "\r",
                                 "\r\n",
                                 "\r\n\r\n",
                                 Sjis("東京\r\n"),
                                 Sjis("東京\r"),
                                 Sjis("は") + "\r" + Sjis("東")};
    for (int iteration = 0; iteration < 2000; ++iteration) {
        std::string text = RandomText(rng, rng() % 80, 1 + iteration % 20);
        text += edges[rng() % std::size(edges)];
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < text.size(); at += 1 + rng() % 20) {
            cuts.push_back(at);
        }
        const KeywordList keywords = RandomKeywords(rng);
        const ConversionOptions options{static_cast<std::int32_t>(rng() % 11), rng() % 2 == 0};
        const std::uint32_t seed = rng();
        RandomSource wholeRandom = Seeded(seed), piecesRandom = Seeded(seed);
        const auto whole = ConvertText(text, keywords, options, wholeRandom);
        std::string out;
        ConversionStats stats;
        ConvertInPieces(text, keywords, options, piecesRandom, cuts, out, stats);
        SCOPED_TRACE("iteration " + std::to_string(iteration) + " " + testing::PrintToString(text));
        ASSERT_TRUE(out == whole.text);
        ASSERT_EQ(stats, whole.stats);
        ASSERT_EQ(piecesRandom.Next(), wholeRandom.Next());
    }
    // Every cut of one text, a CR between its two bytes included.
    const std::string text = Sjis("東京、大阪\r\n") + Bytes("ed40") + "\r\r\n" + Sjis("です");
    for (std::size_t at = 0; at <= text.size(); ++at) {
        RandomSource wholeRandom = Seeded(2), piecesRandom = Seeded(2);
        const auto whole = ConvertText(text, test::Keywords({"X"}), {5, true}, wholeRandom);
        std::string out;
        ConversionStats stats;
        EXPECT_EQ(
            ConvertInPieces(text, test::Keywords({"X"}), {5, true}, piecesRandom, {at}, out, stats),
            at < text.size() ? 2 : 1);
        EXPECT_TRUE(out == whole.text) << at;
        EXPECT_EQ(stats, whole.stats) << at;
    }
}

}  // namespace
}  // namespace quillery
