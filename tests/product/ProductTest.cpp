// The product layer as the plug-in faces use it: a shown value text typed back is the same value,
// numbers typed into a host's field are in the parameter's unit, the saved settings come back and
// a damaged chunk changes nothing, and the values reach the engine as one parameter call.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "product/Deliverables.h"
#include "product/ParameterValues.h"
#include "product/StateChunk.h"
#include "product/ValueParsing.h"
#include "product/ValueText.h"

namespace lumo::product {
namespace {

int ParseInUnits(const Parameter& p, const std::string& text, int rangeDb) {
    ValueFromText value;
    std::string error;
    return ParseValueText(p, text, rangeDb, BareNumber::InUnits, value, error) ? value.raw : -1;
}

TEST(ValueTexts, EveryShownTextTypedBackIsTheSameValue) {
    for (int m = 0; m < kDeliverableCount; ++m) {
        const Deliverable& d = DeliverableAt(m);
        for (int rangeDb : {kNoRangeYet, 1, 3, 7, 12, 16, 31, 32}) {
            const int parseRangeDb = rangeDb == kNoRangeYet ? 16 : rangeDb;
            for (int index = 0; index < ParameterCount(d); ++index) {
                const Parameter p = ParameterAt(d, index);
                for (int raw = p.minimum; raw <= p.maximum; ++raw) {
                    char text[32];
                    FormatValueText(p, raw, rangeDb, text, sizeof text);
                    ASSERT_EQ(ParseInUnits(p, text, parseRangeDb), raw) << d.fullName << " " << p.name << " '" << text << "'";
                }
            }
        }
    }
}

TEST(ValueTexts, BareNumbersInAHostsFieldAreInTheParametersUnit) {
    const Deliverable& d = Lumo31();
    const Parameter range = ParameterAt(d, kRangeParameter);
    const Parameter bandwidth = ParameterAt(d, kBandwidthParameter);
    const Parameter band = ParameterAt(d, kFirstBandParameter + 17);
    EXPECT_EQ(ParseInUnits(range, " 12 ", 16), 12);
    EXPECT_EQ(ParseInUnits(bandwidth, "0.5", 16), 6);
    EXPECT_EQ(ParseInUnits(bandwidth, "1/3", 16), 4);
    EXPECT_EQ(ParseInUnits(band, "6", 12), 96);
    EXPECT_EQ(ParseInUnits(band, "-6", 12), 32);
    EXPECT_EQ(ParseInUnits(band, "+40 dB", 12), 128);  // beyond Range: the end
    for (const char* bad : {"", "loud", "nan", "inf", "6 octaves", "1e999"}) EXPECT_EQ(ParseInUnits(band, bad, 12), -1) << bad;
    for (const char* bad : {"12.5", "40", "-1", "x"}) EXPECT_EQ(ParseInUnits(range, bad, 12), -1) << bad;
    EXPECT_EQ(ParseInUnits(bandwidth, "0", 12), -1);
}

TEST(StateChunk, SettingsComeBackAndADamagedChunkChangesNothing) {
    const Deliverable& d = Lumo20();
    const int count = ParameterCount(d);
    std::vector<int> saved(count);
    for (int i = 0; i < count; ++i) saved[i] = ParameterAt(d, i).minimum + (i * 7) % (ParameterAt(d, i).maximum - ParameterAt(d, i).minimum + 1);
    std::uint8_t chunk[kMaxStateChunkBytes];
    const std::size_t bytes = WriteStateChunk(d, saved.data(), chunk);

    std::vector<int> restored(count, -1);
    ASSERT_TRUE(ReadStateChunk(d, chunk, bytes, restored.data()));
    EXPECT_EQ(restored, saved);

    const std::vector<int> untouched(count, -1);
    std::vector<int> raw = untouched;
    for (std::size_t length = 0; length < bytes; ++length) EXPECT_FALSE(ReadStateChunk(d, chunk, length, raw.data()));
    EXPECT_FALSE(ReadStateChunk(d, chunk, bytes + 1, raw.data()));
    EXPECT_FALSE(ReadStateChunk(d, nullptr, bytes, raw.data()));
    EXPECT_FALSE(ReadStateChunk(Lumo31(), chunk, bytes, raw.data()));  // another machine's
    for (std::size_t at = 0; at < kStateChunkHeaderBytes; ++at) {
        std::uint8_t damaged[kMaxStateChunkBytes];
        std::copy(chunk, chunk + bytes, damaged);
        damaged[at] ^= 0x40;
        EXPECT_FALSE(ReadStateChunk(d, damaged, bytes, raw.data())) << "byte " << at;
    }
    chunk[kStateChunkHeaderBytes + kFirstBandParameter] = 129;  // beyond a slider's end
    EXPECT_FALSE(ReadStateChunk(d, chunk, bytes, raw.data()));
    EXPECT_EQ(raw, untouched);
}

TEST(ParameterValues, OneEngineCallCarriesExactlyTheValuesSetSinceTheLast) {
    const Deliverable& d = Lumo15();
    ParameterValues values(d);
    engine::Equaliser engine(d.layout);
    engine.Initialise(48000);
    values.SetAllPending();
    values.ApplyTo(engine, 48000);
    EXPECT_FALSE(values.HasPending());

    values.Set(kFirstBandParameter + 3, 500);  // clamped, as the machine clamps
    values.Set(kFirstBandParameter + 5, -7);
    EXPECT_EQ(values.Raw(kFirstBandParameter + 3), 128);
    const engine::ParameterOutcome outcome = values.ApplyTo(engine, 48000);
    EXPECT_TRUE(outcome.anyNewValue);
    EXPECT_FALSE(outcome.rangeChanged);
    EXPECT_EQ(engine.BandSlider(3), 128);
    EXPECT_EQ(engine.BandSlider(5), 0);
    EXPECT_EQ(engine.Activity(3), engine::BandActivity::Active);
    EXPECT_EQ(engine.Activity(4), engine::BandActivity::Asleep);
    EXPECT_FALSE(values.ApplyTo(engine, 48000).anyNewValue);  // nothing pending: nothing changes
}

}  // namespace
}  // namespace lumo::product
