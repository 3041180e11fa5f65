#include <gmock/gmock.h>
#include "UiFixture.h"
#include "ui/app/Version.h"

using ::testing::ElementsAre;

class FixtureTest : public UiFixture {};

// Other window tests lean on these answers; a wrong one would make their tests lie.
TEST_F(FixtureTest, ModalAndFileAnswersFollowTheScript) {
    onModal = [](QDialog* d) {
        EXPECT_TRUE(d->isVisible());
        d->accept();
    };
    QDialog* about = ctx.aboutBox;
    EXPECT_EQ(ShowModal(ctx, about), QDialog::Accepted);
    EXPECT_FALSE(about->isVisible());
    modalResults = {QDialog::Rejected};
    EXPECT_EQ(ShowModal(ctx, about), QDialog::Rejected);
    ASSERT_EQ(modalDialogs.size(), 2u);

    fileNames = {"a.sdf"};
    EXPECT_EQ(ChooseFile(ctx, nullptr, "c", "*.sdf", "", false), "a.sdf");
    EXPECT_EQ(ChooseFile(ctx, nullptr, "c", "*.sdf", "", true), "");
    ASSERT_EQ(fileRequests.size(), 2u);
    EXPECT_TRUE(fileRequests[1].save);
    EXPECT_EQ(ctx.settingsDir.back(), '/');
}
