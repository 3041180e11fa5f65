#include "core/runtime/Messages.h"
#include "core/series/SeriesStore.h"

#include "core/runtime/TextFile.h"
#include "core/series/SeriesFormats.h"

namespace orvane {

bool SeriesStore::OpenSeriesHeader(const std::string& fileName, Prompter& prompter, Progress& progress) {
    KindFromExtension(fileName, FileKind);
    return FileKind == SeriesKind::SDF ? ReadSdfHeader(fileName, prompter, progress)
                                       : ReadTsdHeader(fileName, prompter);
}

bool SeriesStore::ReadBurst(int burst, Prompter& prompter) {
    return FileKind == SeriesKind::SDF ? ReadSdfBurst(burst) : ReadTsdBurst(burst, prompter);
}

bool SeriesStore::ReadChannel(int burst, int channel, std::span<float> values, Prompter& prompter) {
    return FileKind == SeriesKind::SDF ? ReadSdfChannel(burst, channel, values)
                                       : ReadTsdChannel(burst, channel, values, prompter);
}

bool SeriesStore::ConfirmOutputName(const std::string& name, Prompter& prompter) const {
    if (name == DataFileName) {
        if (!HasSdfExtension(name)) {
            prompter.Warning(OverwriteInputText(name));
            return false;
        }
        return prompter.Message(MsgKind::Warning, "パラメータを変更してよろしいですね。", MsgButtons::YesNo) ==
               MsgResult::Yes;
    }
    if (FileExists(name))
        return prompter.Message(MsgKind::Warning, msg::kOverwriteQuestion,
                                MsgButtons::YesNo) == MsgResult::Yes;
    return true;
}

bool SeriesStore::WriteOutputHeader(const std::string& name) {
    RemoveStaleTemporaries(ExtractFileDir(name), name.substr(name.find_last_of('/') + 1));
    OutputFileName = name;
    layoutVersion_ = 4;
    return HasSdfExtension(name) ? WriteSdfHeader(name) : WriteTsdHeader(name);
}

}  // namespace orvane
