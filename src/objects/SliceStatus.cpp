// The slice's status lines: "key=value" pairs separated by blanks, each key mapped through the
// slice's status table to the property it feeds and the way its value is read.
#include "objects/Slice.h"

#include "platform/core/Log.h"
#include "radio/StatusValues.h"

namespace vm {

const StatusTable<Slice>& Slice::statusTable() {
    using namespace status;
    using S = Slice;
    static const StatusTable<Slice> table{
        "Slice:statusParser:Unrecognized token:[{key}] stringVal:[{value}]",
        {
            {"RF_frequency", wordToBlank, &S::sliceFrequency},
            {"mode", wordToBlank, &S::sliceMode},
            {"rxant", wordToBlank, &S::sliceRxAnt},
            {"txant", wordToBlank, &S::sliceTxAnt},
            {"filter_lo", integer, &S::sliceFilterLo},
            {"filter_hi", integer, &S::sliceFilterHi},
            {"nr", integer, &S::sliceNrEnabled},
            {"nr_level", integer, &S::sliceNrLevel},
            {"nb", integer, &S::sliceNbEnabled},
            {"nb_level", integer, &S::sliceNbLevel},
            {"anf", integer, &S::sliceAnfEnabled},
            {"anf_level", integer, &S::sliceAnfLevel},
            {"apf", integer, &S::sliceApfEnabled},
            {"apf_level", integer, &S::sliceApfLevel},
            {"agc_mode", wordToBlank, &S::sliceAgcMode},
            {"agc_threshold", integer, &S::sliceAgcThreshold},
            {"agc_off_level", integer, &S::sliceAgcOffLevel},
            {"tx", boolean, &S::sliceTxEnabled},
            {"active", boolean, &S::sliceActive},
            {"owner", word, &S::sliceOwner},
            {"ghost", integer},
            {"wide", boolean, &S::sliceWide},
            {"in_use", boolean, &S::sliceInUse, &S::noteInUse},
            {"pan", wordToBlank, &S::panForSlice},
            {"loopa", boolean, &S::loopAEnabled},
            {"loopb", boolean, &S::loopBEnabled},
            {"qsk", boolean, &S::qskEnabled},
            {"audio_pan", integer, &S::slicePanControl},
            {"audio_gain", integer, &S::sliceAudioLevel},
            {"audio_mute", boolean, &S::sliceMuteEnabled},
            {"xit_on", boolean, &S::sliceXitEnabled},
            {"rit_on", boolean, &S::sliceRitEnabled},
            {"xit_freq", integer, &S::sliceXitOffset},
            {"rit_freq", integer, &S::sliceRitOffset},
            {"dax", integer, &S::sliceDax},
            {"dax_clients", integer, &S::sliceDaxClients},
            {"dax_tx", boolean, &S::sliceDaxTxEnabled},
            {"lock", boolean, &S::sliceLocked},
            {"step", integer},
            {"step_list", list, &S::stepList},
            {"record", boolean, &S::sliceRecordEnabled},
            {"play", enabled, &S::slicePlaybackEnabled},
            {"record_time", decimal, &S::sliceQRlength},
            {"diversity", boolean, &S::sliceDiversityEnabled},
            {"diversity_parent", integer, &S::sliceDiversityParent},
            {"diversity_child", integer, &S::sliceDiversityChild},
            {"diversity_index", integer, &S::sliceDiversityIndex},
            {"ant_list", list, &S::antList},
            {"squelch", boolean, &S::squelchEnabled},
            {"squelch_level", integer, &S::squelchLevel},
            {"mode_list", list, &S::modeList},
            {"fm_tone_mode", word, &S::fmToneMode},
            {"fm_tone_value", wordDecimal, &S::fmToneFreq},
            {"fm_repeater_offset_freq", wordDecimal, &S::fmRepeaterOffset},
            {"tx_offset_freq", wordDecimal, &S::txOffsetFreq},
            {"repeater_offset_dir", word, &S::repeaterOffsetDir},
            {"fm_tone_burst", boolean, &S::fmToneBurstEnabled},
            {"fm_deviation", integer, &S::fmDeviation},
            {"dfm_pre_de_emphasis", boolean, &S::fmPreDeEmphasis},
            {"post_demod_low", integer, &S::postDemodLo},
            {"post_demod_high", integer, &S::postDemodHi},
            {"rtty_mark", integer, &S::rttyMark},
            {"rtty_shift", integer, &S::rttyShift},
            {"digl_offset", integer, &S::diglOffset},
            {"digu_offset", integer, &S::diguOffset},
            {"post_demod_bypass", boolean, &S::postDemodBypassEnabled},
            {"rfgain", integer, &S::rfGain},
            {"wnb", integer, &S::sliceWnbEnabled},
            {"wnb_level", integer, &S::sliceWnbLevel},
            {"detached", integer, &S::detached},
            {"nr2", integer, &S::sliceNr2Enabled},
            {"tx_ant_list", list, &S::txAntList},
            {"client_handle", word, &S::clientHandle},
            {"index_letter", word, &S::indexLetter},
            {"audio_level", integer, &S::sliceAudioLevel},
            {"sample_rate", word, &S::sliceSampleRate},
        }};
    return table;
}

bool Slice::noteInUse(Slice& slice, const StatusValue& value) {
    if (!std::get<Flag>(value).value_or(false)) {
        slice.youAreBeingDeleted();
    }
    return true;
}

void Slice::statusParserImmediate(Scanner& scan, bool immediate) {
    statusTable().read(*this, scan, immediate ? StatusPass::First : StatusPass::Later);
}

void Slice::statusParserSelfStatus(Scanner& /*scan*/, bool /*selfStatus*/) {
    log("Slice statusParser use updateWithNotifyImmediate");
}

}  // namespace vm
