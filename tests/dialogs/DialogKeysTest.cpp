// SPDX-License-Identifier: MIT
// Enter and Esc in every dialog, as a desktop user presses them.
#include "DialogFixture.h"

#include "common/UrlOpener.h"
#include "dialogs/TForm2.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm4.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class NoOpener final : public UrlOpener
{
public:
    void open(const QUrl &) override { }
};

struct DialogKeys
{
    const char *name;
    std::function<std::unique_ptr<QDialog>(DialogFixture &fixture, FormRefs &forms, OptionsLinks &links)> make;
    /** The field Enter is pressed in, and the button it presses; none for no field. */
    std::function<QWidget *(QDialog &dialog)> field;
    std::function<QPushButton *(QDialog &dialog)> defaultButton;
};

void PrintTo(const DialogKeys &row, std::ostream *out)
{
    *out << row.name;
}

class Keys : public DialogFixture, public testing::WithParamInterface<DialogKeys>
{
public:
    NoOpener opener;
};

TEST_P(Keys, EscCancelsAndEnterInAFieldPressesTheDefaultButton)
{
    for (const bool enter : {false, true}) {
        std::unique_ptr<QDialog> dialog = GetParam().make(*this, forms, links);
        QWidget *field = GetParam().field ? GetParam().field(*dialog) : nullptr;
        if (enter && !field)
            continue;
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QWidget *target = field ? field : dialog.get();
        target->setFocus();
        // Not one the dialog happens to make default on showing: that may be any button.
        if (field) {
            EXPECT_TRUE(GetParam().defaultButton(*dialog)->isDefault());
        }
        QTest::keyClick(target, enter ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << (enter ? "Enter" : "Esc");
        EXPECT_EQ(dialog->result(), enter ? QDialog::Accepted : QDialog::Rejected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Keys,
    testing::Values(
        DialogKeys{"新建下载",
                   [](DialogFixture &, FormRefs &forms, OptionsLinks &links) {
                       auto dialog = std::make_unique<TForm2>(forms, links);
                       forms.Form2 = dialog.get();
                       dialog->Memo1->setPlainText(u"http://a.example/"_s);
                       return std::unique_ptr<QDialog>(std::move(dialog));
                   },
                   [](QDialog &dialog) { return static_cast<QWidget *>(static_cast<TForm2 &>(dialog).SavePath); },
                   [](QDialog &dialog) { return static_cast<TForm2 &>(dialog).NewURLBtn; }},
        DialogKeys{"下载路径",
                   [](DialogFixture &, FormRefs &forms, OptionsLinks &links) {
                       auto *form2 = new TForm2(forms, links);
                       forms.Form2 = form2;
                       auto dialog = std::make_unique<TForm4>(forms);
                       form2->setParent(dialog.get(), form2->windowFlags());
                       return std::unique_ptr<QDialog>(std::move(dialog));
                   },
                   [](QDialog &dialog) { return static_cast<QWidget *>(static_cast<TForm4 &>(dialog).ShellComboBox1); },
                   [](QDialog &dialog) { return static_cast<TForm4 &>(dialog).Button1; }},
        DialogKeys{"关于",
                   [](DialogFixture &fixture, FormRefs &, OptionsLinks &) {
                       return std::unique_ptr<QDialog>(std::make_unique<TForm3>(static_cast<Keys &>(fixture).opener));
                   },
                   {},
                   {}}),
    [](const testing::TestParamInfo<DialogKeys> &info) { return "row" + std::to_string(info.index); });

} // namespace
