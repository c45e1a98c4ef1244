#include "formats/it/ItFilter.h"

#include "formats/it/ItPitch.h"
#include "formats/it/ItPlayer.h"
#include "mixer/FilterKernels.h"

#include <algorithm>

namespace tolva {

namespace {

constexpr uint32_t TenPowerSteps = 512;

// 10^(i/512).
const float tenPowerTable[TenPowerSteps] = {
    1.0f,        1.00450742f, 1.00903499f, 1.01358318f, 1.01815176f, 1.02274096f, 1.02735078f,
    1.03198147f, 1.0366329f,  1.04130542f, 1.04599893f, 1.05071366f, 1.0554496f,  1.06020689f,
    1.06498563f, 1.06978595f, 1.07460785f, 1.07945144f, 1.08431697f, 1.08920431f, 1.09411383f,
    1.0990454f,  1.10399914f, 1.10897529f, 1.11397386f, 1.11899495f, 1.1240387f,  1.12910509f,
    1.13419437f, 1.13930666f, 1.14444184f, 1.14960027f, 1.15478194f, 1.15998697f, 1.16521549f,
    1.1704675f,  1.17574322f, 1.18104279f, 1.1863662f,  1.19171357f, 1.19708502f, 1.20248067f,
    1.20790076f, 1.21334517f, 1.21881413f, 1.22430778f, 1.22982621f, 1.23536944f, 1.24093771f,
    1.24653113f, 1.2521497f,  1.25779355f, 1.2634629f,  1.26915777f, 1.27487838f, 1.28062475f,
    1.28639698f, 1.2921952f,  1.29801965f, 1.3038702f,  1.30974722f, 1.31565082f, 1.32158089f,
    1.32753778f, 1.33352149f, 1.33953214f, 1.34556985f, 1.35163486f, 1.35772717f, 1.3638469f,
    1.36999428f, 1.37616932f, 1.38237226f, 1.38860309f, 1.39486206f, 1.40114915f, 1.40746462f,
    1.41380858f, 1.42018116f, 1.42658246f, 1.4330126f,  1.43947172f, 1.44595993f, 1.45247734f,
    1.45902419f, 1.46560061f, 1.47220659f, 1.47884238f, 1.48550797f, 1.49220371f, 1.49892962f,
    1.50568593f, 1.51247251f, 1.51928985f, 1.52613783f, 1.53301668f, 1.53992653f, 1.54686749f,
    1.5538398f,  1.56084359f, 1.56787884f, 1.57494581f, 1.58204472f, 1.58917558f, 1.59633851f,
    1.60353386f, 1.61076152f, 1.61802185f, 1.62531483f, 1.63264072f, 1.63999963f, 1.64739168f,
    1.6548171f,  1.66227591f, 1.66976845f, 1.67729473f, 1.68485487f, 1.69244909f, 1.70007765f,
    1.70774055f, 1.71543789f, 1.72317004f, 1.730937f,   1.73873889f, 1.74657607f, 1.75444853f,
    1.7623564f,  1.77030003f, 1.77827942f, 1.78629482f, 1.79434621f, 1.80243397f, 1.8105582f,
    1.81871903f, 1.82691669f, 1.83515131f, 1.84342301f, 1.85173202f, 1.86007845f, 1.86846244f,
    1.87688434f, 1.88534415f, 1.89384198f, 1.90237832f, 1.91095293f, 1.91956639f, 1.92821848f,
    1.93690968f, 1.94564009f, 1.95440972f, 1.96321905f, 1.97206795f, 1.98095679f, 1.98988569f,
    1.99885476f, 2.00786448f, 2.01691461f, 2.02600551f, 2.03513741f, 2.04431057f, 2.05352497f,
    2.0627811f,  2.0720787f,  2.08141828f, 2.09080005f, 2.10022402f, 2.10969043f, 2.11919975f,
    2.12875175f, 2.13834667f, 2.14798498f, 2.15766668f, 2.16739225f, 2.17716146f, 2.18697476f,
    2.19683218f, 2.20673418f, 2.21668053f, 2.22667193f, 2.2367084f,  2.24679017f, 2.25691724f,
    2.26708984f, 2.27730846f, 2.2875731f,  2.29788423f, 2.30824161f, 2.31864572f, 2.32909656f,
    2.3395946f,  2.35014009f, 2.36073303f, 2.37137365f, 2.38206244f, 2.39279914f, 2.40358448f,
    2.41441822f, 2.42530084f, 2.43623257f, 2.44721365f, 2.45824409f, 2.46932435f, 2.48045444f,
    2.49163461f, 2.50286531f, 2.5141468f,  2.52547884f, 2.53686213f, 2.54829669f, 2.55978274f,
    2.57132077f, 2.58291054f, 2.59455276f, 2.60624743f, 2.61799455f, 2.62979484f, 2.64164829f,
    2.65355515f, 2.66551566f, 2.67753029f, 2.6895988f,  2.70172167f, 2.71389937f, 2.72613192f,
    2.73841953f, 2.7507627f,  2.76316142f, 2.77561593f, 2.78812671f, 2.80069375f, 2.81331754f,
    2.82599807f, 2.83873606f, 2.85153127f, 2.86438417f, 2.87729478f, 2.8902638f,  2.90329146f,
    2.91637754f, 2.92952275f, 2.94272709f, 2.95599103f, 2.96931481f, 2.98269868f, 2.99614263f,
    3.00964737f, 3.02321291f, 3.03683972f, 3.05052781f, 3.06427765f, 3.07808948f, 3.09196353f,
    3.10590029f, 3.11989975f, 3.13396215f, 3.14808798f, 3.1622777f,  3.17653131f, 3.19084907f,
    3.20523119f, 3.2196784f,  3.2341907f,  3.24876833f, 3.26341176f, 3.27812123f, 3.29289675f,
    3.30773902f, 3.32264829f, 3.33762479f, 3.35266852f, 3.36778021f, 3.38296008f, 3.39820838f,
    3.41352534f, 3.42891121f, 3.44436669f, 3.45989156f, 3.47548676f, 3.49115205f, 3.50688791f,
    3.52269459f, 3.53857279f, 3.55452228f, 3.57054377f, 3.58663774f, 3.60280395f, 3.61904311f,
    3.63535547f, 3.65174127f, 3.66820097f, 3.68473482f, 3.7013433f,  3.71802664f, 3.73478508f,
    3.7516191f,  3.76852918f, 3.78551531f, 3.80257797f, 3.81971765f, 3.83693433f, 3.85422897f,
    3.87160134f, 3.88905191f, 3.9065814f,  3.92418981f, 3.9418776f,  3.95964503f, 3.97749257f,
    3.99542046f, 4.01342916f, 4.03151941f, 4.04969072f, 4.06794453f, 4.08627987f, 4.10469818f,
    4.12319994f, 4.14178467f, 4.16045284f, 4.17920589f, 4.19804287f, 4.2169652f,  4.2359724f,
    4.25506544f, 4.27424479f, 4.29351044f, 4.3128624f,  4.33230209f, 4.35182953f, 4.3714447f,
    4.39114857f, 4.41094112f, 4.43082285f, 4.45079422f, 4.47085524f, 4.49100733f, 4.51125002f,
    4.53158379f, 4.55200911f, 4.57252693f, 4.59313679f, 4.61383963f, 4.63463593f, 4.65552616f,
    4.67650986f, 4.69758892f, 4.7187624f,  4.74003172f, 4.76139688f, 4.78285837f, 4.80441618f,
    4.82607126f, 4.84782457f, 4.86967516f, 4.89162445f, 4.91367292f, 4.93582058f, 4.95806837f,
    4.9804163f,  5.00286484f, 5.02541447f, 5.04806566f, 5.07081938f, 5.09367514f, 5.11663437f,
    5.1396966f,  5.16286325f, 5.18613434f, 5.20950985f, 5.23299122f, 5.25657797f, 5.28027153f,
    5.30407143f, 5.32797909f, 5.35199404f, 5.37611771f, 5.40034962f, 5.42469072f, 5.44914198f,
    5.47370338f, 5.49837542f, 5.52315855f, 5.54805326f, 5.57306051f, 5.59818029f, 5.62341309f,
    5.64875984f, 5.67422104f, 5.69979668f, 5.72548771f, 5.75129461f, 5.77721786f, 5.80325794f,
    5.82941532f, 5.85569048f, 5.88208437f, 5.90859699f, 5.9352293f,  5.9619813f,  5.98885441f,
    6.01584816f, 6.04296398f, 6.07020187f, 6.09756231f, 6.12504625f, 6.15265417f, 6.18038654f,
    6.20824337f, 6.23622656f, 6.26433516f, 6.29257107f, 6.32093382f, 6.34942484f, 6.37804365f,
    6.40679216f, 6.4356699f,  6.46467781f, 6.49381638f, 6.52308655f, 6.55248833f, 6.58202267f,
    6.61169004f, 6.64149141f, 6.67142725f, 6.70149755f, 6.73170376f, 6.76204586f, 6.79252529f,
    6.82314157f, 6.85389566f, 6.88478899f, 6.91582108f, 6.94699335f, 6.97830582f, 7.00975943f,
    7.04135513f, 7.07309294f, 7.10497427f, 7.13699865f, 7.169168f,   7.20148182f, 7.23394156f,
    7.26654768f, 7.29930067f, 7.332201f,   7.36525011f, 7.39844799f, 7.4317956f,  7.46529341f,
    7.4989419f,  7.5327425f,  7.56669521f, 7.60080099f, 7.63506079f, 7.6694746f,  7.70404387f,
    7.73876905f, 7.77365017f, 7.80868912f, 7.84388542f, 7.87924099f, 7.91475534f, 7.95042992f,
    7.98626566f, 8.02226257f, 8.05842209f, 8.09474373f, 8.13123035f, 8.16788006f, 8.2046957f,
    8.24167728f, 8.27882576f, 8.31614113f, 8.3536253f,  8.39127827f, 8.42910099f, 8.46709347f,
    8.50525856f, 8.54359436f, 8.58210373f, 8.62078667f, 8.65964317f, 8.69867516f, 8.73788357f,
    8.77726841f, 8.81683064f, 8.8565712f,  8.89649105f, 8.93659115f, 8.97687149f, 9.01733303f,
    9.05797768f, 9.09880543f, 9.13981724f, 9.18101311f, 9.2223959f,  9.26396465f, 9.30572033f,
    9.34766483f, 9.38979816f, 9.43212128f, 9.47463512f, 9.51734066f, 9.56023884f, 9.60333061f,
    9.64661598f, 9.69009686f, 9.73377419f, 9.77764702f, 9.82171917f, 9.86598873f, 9.91045856f,
    9.95512867f,
};

constexpr float AngularCutoffScale = 821.92096f; // radians per second at cutoff 0
constexpr float ResonanceDecibelsPerStep = 0.1875f;
// The corner rises an octave every 24 cutoff steps; in pitch table units (1/768 octave), with the
// filter envelope's factor (0..16384, full at its top) folded in: 32 units a step at full.
constexpr int32_t EnvelopeFullScale = 16384;
constexpr int32_t UnitsPerScaledStep = EnvelopeFullScale / 32;
// Below half a frame a radian the filter would be unstable under strong resonance.
constexpr float SmallestFramesPerRadian = 0.5f;

} // namespace

float itTenPower(float x) {
    const float magnitude = x < 0 ? -x : x;
    const uint32_t whole = static_cast<uint32_t>(magnitude);
    const uint32_t step = static_cast<uint32_t>((magnitude - static_cast<float>(whole)) *
                                                static_cast<float>(TenPowerSteps));
    float result = tenPowerTable[step < TenPowerSteps ? step : TenPowerSteps - 1];
    for (uint32_t i = 0; i < whole; ++i)
        result *= 10.0f;
    return x < 0 ? 1.0f / result : result;
}

void ItPlayer::updateFilter(ItChannel& record, bool noteStarts) {
    const int32_t v = voiceIndex(record);
    if (v < 0)
        return;
    const uint32_t voice = static_cast<uint32_t>(v);
    const ItEnvelopeState& envelope = record.pitchEnvelopeState;
    const bool enveloped =
        (envelope.flags & ItEnvelopeFilter) && !(envelope.flags & ItEnvelopeSwitchedOff);
    const int32_t scaled = record.filterCutoff *
                           (enveloped ? envelope.value + EnvelopeFullScale / 2 : EnvelopeFullScale);
    const int32_t cutoff = scaled / EnvelopeFullScale;
    const int32_t resonance = record.filterResonance;
    const uint8_t flags = mixer->voiceFlags(voice);
    const float rate = static_cast<float>(mixer->mixingRate());
    // Opened fully, the filter of a playing note keeps the corner it had; a new note drops it.
    if ((cutoff == ItOpenCutoff && resonance == 0) || rate == 0.0f) {
        if (!noteStarts && rate != 0.0f)
            return;
        mixer->setVoiceFlags(voice, static_cast<uint8_t>(flags & ~VoiceFiltered));
        return;
    }
    const float w = AngularCutoffScale *
                    static_cast<float>(itPitchScale(65536, scaled / UnitsPerScaledStep)) / 65536.0f;
    const float r = std::max(rate / w, SmallestFramesPerRadian);
    const float g = itTenPower(static_cast<float>(resonance) * ResonanceDecibelsPerStep / -20.0f);
    const float d = g * r + g - 1.0f;
    const float e = r * r;
    const float den = 1.0f + d + e;
    record.filterCoefficients[0] = 1.0f / den;
    record.filterCoefficients[1] = 0.0f;
    record.filterCoefficients[2] = (d + 2.0f * e) / den;
    record.filterCoefficients[3] = -e / den;
    mixer->setVoiceFlags(voice, flags | VoiceFiltered);
}

void ItVoiceModel::updateFormatState(Channel& channel) {
    it_.updateFilter(static_cast<ItChannel&>(channel), it_.changeFlags & ChangeStartNote);
}

void filterItVoice(void* context, uint32_t voice, float* buffer, uint32_t frames, bool isStereo) {
    ItChannel& v = static_cast<ItPlayer*>(context)->voices[voice % ItVoices];
    const float* c = v.filterCoefficients;
    if (isStereo)
        filterVoiceStereo(buffer, frames, c, c + 2, v.filterInputState, v.filterOutputState);
    else
        filterVoiceMono(buffer, frames, c, c + 2, v.filterInputState, v.filterOutputState);
}

} // namespace tolva
