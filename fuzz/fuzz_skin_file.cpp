// A skin file is text from anywhere. Reads every key a skin has, as text and as a number, and
// checks that the reading rules hold whatever the text: names ignore case, values are at most
// 2047 characters, a number is read from the very value that reads as text.
#include <QStringList>

#include "fuzzinput.h"
#include "skinfile.h"

namespace {

constexpr const char *Target = "fuzz_skin_file";
constexpr int Missing = -7654321;

const char *const Keys[] = {"Background", "FlatButtons",   "PlayButton",     "PauseButton",
                            "StopButton", "NextButton",    "PreviousButton", "Song List Font",
                            "ForeColor",  "ProgressThumb", "VolumeThumb",    "PriorityThumb"};

void readKey(const SkinFile &skin, const QString &key)
{
    const QString missing = QStringLiteral("<missing>");
    const QString text = skin.readString(key, missing);
    check(text.size() <= 2047, Target, "a value longer than 2047 characters");
    check(skin.readString(key.toUpper(), missing) == text &&
              skin.readString(key.toLower(), missing) == text,
          Target, "a key reads differently in another case");

    const int number = skin.readInteger(key, Missing);
    if (text == missing) {
        check(number == Missing, Target, "a missing key reads as a number");
        return;
    }
    const std::optional<int> parsed = SkinFile::parseInteger(text);
    check(number == parsed.value_or(Missing), Target, "the number is not that of the value");
    if (parsed)
        check(SkinFile::parseInteger(QString::number(*parsed)) == parsed, Target,
              "a number does not read back from its decimal text");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const SkinFile skin = SkinFile::fromText(inputBytes(data, size));
    for (const char *key : Keys)
        readKey(skin, QLatin1String(key));
    return 0;
}
