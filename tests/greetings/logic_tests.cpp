// Greeting names, server sequences, the active-greeting field, progress and
// state texts.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "greetings/greeting_logic.h"

namespace q5test {
namespace {

using namespace q5::greetings;
using Op = FileStep::Op;

class GreetingNamesTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("Q5CLIENT_HOME", QFile::encodeName(dir_.path())); }
    void TearDown() override { qunsetenv("Q5CLIENT_HOME"); }
    QString Vox(const char* file) const {
        return dir_.path() + QStringLiteral("/vox/") + QString::fromLatin1(file);
    }
    QTemporaryDir dir_;
};

TEST_F(GreetingNamesTest, BusySpanishGetConvertsGreet4SpaAndFetchesGreet4WavIntoTheSpanishLocalFile) {
    const Selection busy_spanish{2, QStringLiteral("Spanish"), false};
    const std::vector<FileStep> expected{{Op::convert_v2w, QStringLiteral("greet4.spa"), {}},
                                         {Op::get_file, QStringLiteral("greet4.wav"), Vox("greet4.spa.wav")},
                                         {Op::del_file, QStringLiteral("greet4.wav"), {}}};
    EXPECT_EQ(GetGreetingSteps(busy_spanish), expected);
}

TEST_F(GreetingNamesTest, EnglishGetConvertsTheVoxFileOfTheType) {
    const Selection hold{4, QStringLiteral("English"), false};
    const std::vector<FileStep> expected{{Op::convert_v2w, QStringLiteral("greetH.vox"), {}},
                                         {Op::get_file, QStringLiteral("greetH.wav"), Vox("greetH.eng.wav")},
                                         {Op::del_file, QStringLiteral("greetH.wav"), {}}};
    EXPECT_EQ(GetGreetingSteps(hold), expected);
}

TEST_F(GreetingNamesTest, NormalEnglishTransmitUploadsGreetEngWavAsGreetWav) {
    const Selection normal{0, QStringLiteral("English"), false};
    const std::vector<FileStep> expected{{Op::put_file, QStringLiteral("greet.wav"), Vox("greet.eng.wav")},
                                         {Op::convert_w2v, QStringLiteral("greet.wav"), {}},
                                         {Op::del_file, QStringLiteral("greet.wav"), {}}};
    EXPECT_EQ(TransmitGreetingSteps(normal), expected);
}

TEST_F(GreetingNamesTest, OtherLanguageTransmitRenamesTheConvertedVoxToTheServerGreeting) {
    const Selection transfer_french{5, QStringLiteral("French"), false};
    const std::vector<FileStep> expected{
        {Op::put_file, QStringLiteral("greetTR.fre"), Vox("greetTR.fre.wav")},
        {Op::convert_w2v, QStringLiteral("greetTR.fre.wav"), {}},
        {Op::ren_file, QStringLiteral("greetTR.fre.vox"), QStringLiteral("greetTR.fre")},
        {Op::del_file, QStringLiteral("greetTR.fre.wav"), {}}};
    EXPECT_EQ(TransmitGreetingSteps(transfer_french), expected);
}

TEST_F(GreetingNamesTest, NameIsOneFileInEveryLanguageIncludingEnglish) {
    for (const char* language : {"English", "Greek"}) {
        const Selection name{2, QString::fromLatin1(language), true};
        EXPECT_EQ(LocalSoundFile(name), Vox("Name.wav"));
        const std::vector<FileStep> get{{Op::convert_v2w, QStringLiteral("Name.vox"), {}},
                                        {Op::get_file, QStringLiteral("Name.wav"), Vox("Name.wav")},
                                        {Op::del_file, QStringLiteral("Name.wav"), {}}};
        EXPECT_EQ(GetGreetingSteps(name), get) << language;
        const std::vector<FileStep> put{{Op::put_file, QStringLiteral("Name.wav"), Vox("Name.wav")},
                                        {Op::convert_w2v, QStringLiteral("Name.wav"), {}},
                                        {Op::del_file, QStringLiteral("Name.wav"), {}}};
        EXPECT_EQ(TransmitGreetingSteps(name), put) << language;
    }
}

TEST_F(GreetingNamesTest, NoTypeChosenActsAsNormal) {
    EXPECT_EQ(LocalSoundFile(Selection{-1, QStringLiteral("Swahili"), false}), Vox("greet.swa.wav"));
}

TEST(GreetingTablesTest, LanguagesKeepTheirOrderSpellingAndSuffixes) {
    const QStringList languages = LanguageCaptions();
    ASSERT_EQ(languages.size(), 14);
    EXPECT_EQ(languages.front(), QStringLiteral("English"));
    EXPECT_EQ(languages.back(), QStringLiteral("Swahili"));
    EXPECT_EQ(languages[9], QStringLiteral("Portugeuse"));
    EXPECT_EQ(LanguageSuffix(QStringLiteral("Portugeuse")), QStringLiteral(".por"));
    EXPECT_EQ(LanguageSuffix(QStringLiteral("Hebrew")), QStringLiteral(".heb"));
    EXPECT_EQ(LanguageSuffix(QStringLiteral("spanish")), QString()) << "compared exactly";
    EXPECT_EQ(TypeCode(3), QStringLiteral("5"));
    EXPECT_EQ(TypeCode(5), QStringLiteral("TR"));
}

TEST(GreetingTablesTest, ActiveGreetingReadsOnlyYTAndN) {
    EXPECT_EQ(ActiveGreetingIndex(QStringLiteral("T")), 1);
    EXPECT_EQ(ActiveGreetingIndex(QStringLiteral("Y")), 0);
    EXPECT_EQ(ActiveGreetingIndex(QStringLiteral("N")), 2);
    EXPECT_EQ(ActiveGreetingIndex(QStringLiteral("X")), std::nullopt);
    EXPECT_EQ(ActiveGreetingIndex(QStringLiteral("y")), std::nullopt);
    EXPECT_EQ(GreetRecValue(1), QStringLiteral("T"));
    EXPECT_EQ(GreetRecValue(-1), QString());
}

TEST(ProgressTest, PercentIsRoundedRaisedToOneCutToHundredAndZeroForNoTotal) {
    EXPECT_EQ(ProgressPercent(0, 10000), 1);
    EXPECT_EQ(ProgressPercent(4095, 10000), 41);
    EXPECT_EQ(ProgressPercent(150, 100), 100);
    EXPECT_EQ(ProgressPercent(100, 0), 0);
    EXPECT_EQ(ProgressPercent(2000000000, 2100000000), 95) << "no overflow on large files";
}

TEST(StateTextTest, EveryModeHasItsText) {
    EXPECT_EQ(StateText(q5::media::Mode::not_open), QStringLiteral("Not Ready"));
    EXPECT_EQ(StateText(q5::media::Mode::recording), QStringLiteral("Recording"));
    EXPECT_EQ(StateText(q5::media::Mode::ready), QStringLiteral("Ready"));
    EXPECT_TRUE(TransmitGreetingHelp().endsWith(QStringLiteral("Button. ")));
}

}  // namespace
}  // namespace q5test
