// Running the job from the main window on a real Maildir store: the question, remembering the
// job, the summary, the per-mail errors in the results window, the busy state, the stop
// request and the status bar.

#include <QPlainTextEdit>
#include <QTimer>

#include <set>

#include "platform/runtime/Registry.h"
#include "tests/windows/MainWindowTestSupport.h"
#include "windows/FrmResults.h"

namespace {

using namespace main_window_test;

constexpr const char* kQuestion = "Trovanta|Start processing the e-mails?";

class MainWindowRun : public MainWindowTest {
protected:
    /// Adds `count` messages to the Inbox, "Mail 1" to "Mail <count>", read ("S") or unread ("").
    void AddMails(int count, const std::string& flags = "")
    {
        for (int i = 1; i <= count; ++i)
            store.Add("Inbox", test::SimpleMessage("Mail " + std::to_string(i)), flags);
    }

    int ReadMails() const
    {
        int read = 0;
        for (const fs::path& file : store.Files("Inbox")) read += file.filename().string().ends_with(",S");
        return read;
    }

    /// The Inbox job that marks the mails read, remembered as the window loads it.
    void RememberMarkReadJob()
    {
        TManualOptions job = InboxJob();
        job.ReadUnread().Mode = 1;
        job.SaveToRegistry(RegKeyAdHoc);
    }
};

TEST_F(MainWindowRun, StartRunsTheJobRemembersItAndShowsTheSummary)
{
    AddMails(3);
    const ScopedChooser chooser([&](QWidget*, outlook::INameSpace&) { return Folder("Inbox"); });
    EXPECT_EQ(Open([&](TFormMain& w) {
                  Click(w, "RadioFolder");
                  SetChecked(w, "CheckSetRead", true);
                  user_->Answers.push_back(ui::idYes);
                  Click(w, "ButtonStart");
                  EXPECT_FALSE(w.isVisible());
                  EXPECT_FALSE(w.IsBusy());
              }),
              TFormMain::mrOK);
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{kQuestion,
                                        "Trovanta|Folders inspected: 1   \r\nItems inspected: 3   \r\n"
                                        "E-mails processed: 3   \r\n\r\nE-mails set to read: 3   \r\n"}));
    ASSERT_EQ(user_->Messages.size(), 2u);
    EXPECT_EQ(user_->Messages[0].Icon, ui::MsgIcon::Question);
    EXPECT_EQ(user_->Messages[0].Buttons, unsigned(ui::mbYesNo));
    EXPECT_EQ(user_->Messages[1].Icon, ui::MsgIcon::Information);
    EXPECT_EQ(ReadMails(), 3);
    const TManualOptions remembered = RememberedJob();
    EXPECT_EQ(remembered.Source().Source, 1);
    EXPECT_EQ(remembered.Source().FullName, "Mailbox \\ Inbox");
    EXPECT_EQ(remembered.ReadUnread().Mode, 1);
}

TEST_F(MainWindowRun, NoToTheQuestionChangesAndSavesNothing)
{
    AddMails(2);
    const ScopedChooser chooser([&](QWidget*, outlook::INameSpace&) { return Folder("Inbox"); });
    EXPECT_EQ(Open([&](TFormMain& w) {
                  Click(w, "RadioFolder");
                  SetChecked(w, "CheckSetRead", true);
                  user_->Answers.push_back(ui::idNo);
                  Click(w, "ButtonStart");
                  EXPECT_TRUE(w.isVisible());
                  EXPECT_TRUE(IsEnabled(w, "ButtonStart"));
                  Click(w, "ButtonCancel");
              }),
              TFormMain::mrCancel);
    EXPECT_EQ(Shown(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(ReadMails(), 0);
    EXPECT_FALSE(KeyExists(RegKeyAdHoc));
}

TEST_F(MainWindowRun, UntickedRememberLeavesTheRememberedJobAsItWas)
{
    AddMails(2, "S");
    RememberMarkReadJob();
    Open([&](TFormMain& w) {
        SetChecked(w, "CheckSetUnRead", true);
        SetChecked(w, "CheckRememberSettings", false);
        user_->Answers.push_back(ui::idYes);
        Click(w, "ButtonStart");
    });
    EXPECT_EQ(user_->Messages.back().Text,
              "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n\r\n"
              "E-mails set to unread: 2   \r\n");
    EXPECT_EQ(RememberedJob().ReadUnread().Mode, 1);
}

TEST_F(MainWindowRun, FailedPreparationIsShownAfterTheJobWasRememberedAndTheWindowStays)
{
    AddMails(1, "S");
    RememberMarkReadJob();
    {
        // Own addresses that cannot be read: the engine cannot be prepared.
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(RegKeyMe, true));
        registry.WriteInteger("Values", 7);
    }
    Open([&](TFormMain& w) {
        SetChecked(w, "CheckSetRead", false);
        SetChecked(w, "CheckSetUnRead", true);
        user_->Answers.push_back(ui::idYes);
        Click(w, "ButtonStart");
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.IsBusy());
        EXPECT_TRUE(IsEnabled(w, "ButtonStart"));
        EXPECT_TRUE(IsEnabled(w, "LabelHelp"));
        EXPECT_FALSE(IsEnabled(w, "ButtonCopyEmails1"));  // the Edit buttons follow their boxes again
        EXPECT_TRUE(IsEnabled(w, "CheckSetRead"));
        Click(w, "ButtonCancel");
    });
    ASSERT_EQ(user_->Messages.size(), 2u);  // no result box for a run that never started
    EXPECT_EQ(user_->Messages[1].Icon, ui::MsgIcon::Error);
    EXPECT_EQ(ReadMails(), 1);
    EXPECT_EQ(RememberedJob().ReadUnread().Mode, 2);
}

TEST_F(MainWindowRun, ItemErrorsOpenTheResultsWindowWithSixLinesEach)
{
    store.Add("Inbox", test::SimpleMessage("First"));
    store.Add("Inbox", test::SimpleMessage("Second"));
    test::WriteFile(home_.Path() / "blocked", "not a folder");
    TManualOptions job = InboxJob();
    job.ExportEmails().Active = true;
    job.ExportEmails().SaveFormat = 3;
    job.ExportEmails().DestPath = (home_.Path() / "blocked" / "out").string();
    job.ExportEmails().Mask = "[B]";
    job.SaveToRegistry(RegKeyAdHoc);

    std::string summary;
    std::vector<std::string> errors;
    bool errorBoxShown = false;
    EXPECT_EQ(Open([&](TFormMain& w) {
                  WhenModal<TFormResults>([&](TFormResults& results) {
                      EXPECT_EQ(results.windowTitle(), "Trovanta");
                      EXPECT_EQ(results.parentWidget(), &w);
                      summary = GetMemo(results, "MemoResults");
                      errorBoxShown = Child<QWidget>(results, "GroupBox2")->isVisible();
                      const QString text = Child<QPlainTextEdit>(results, "MemoMailErrors")->toPlainText();
                      for (const QString& line : text.split(QLatin1Char('\n')))
                          errors.push_back(line.toStdString());
                      Click(results, "ButtonClose");
                  });
                  user_->Answers.push_back(ui::idYes);
                  Click(w, "ButtonStart");
              }),
              TFormMain::mrOK);
    EXPECT_EQ(Shown(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(
        summary,
        "Folders inspected: 1   \nItems inspected: 2   \nE-mails processed: 2   \n\nE-mails exported: 0   ");
    EXPECT_TRUE(errorBoxShown);
    ASSERT_EQ(errors.size(), 12u) << testing::PrintToString(errors);
    const ComPtr<outlook::IItems> items = Folder("Inbox")->Items();
    // The engine walks the items from the last to the first.
    for (int mail = 0; mail < 2; ++mail) {
        const ComPtr<outlook::IOutlookItem> item = items->Item(2 - mail);
        const std::vector<std::string> lines(errors.begin() + 6 * mail, errors.begin() + 6 * mail + 6);
        EXPECT_TRUE(lines[0].starts_with("*** ") && lines[0].ends_with(":")) << lines[0];
        EXPECT_EQ(lines[1], "Folder: Mailbox \\ Inbox");
        EXPECT_EQ(lines[2], "Subject: " + item->Subject());
        EXPECT_EQ(lines[3], "Time: " + DateTimeToStr(item->Sent() ? item->SentOn() : item->ReceivedTime()));
        EXPECT_FALSE(lines[4].empty());
        EXPECT_EQ(lines[5], "");
    }
}

TEST_F(MainWindowRun, CancelStopsTheRunWhileTheWindowRefusesToClose)
{
    AddMails(5);
    RememberMarkReadJob();
    bool closeRefused = false;
    bool onlyCancelWorks = false;
    EXPECT_EQ(Open([&](TFormMain& w) {
                  // Runs in the first progress report, while the run is busy.
                  QTimer::singleShot(0, &w, [&] {
                      w.close();
                      closeRefused = w.isVisible() && w.IsBusy();
                      onlyCancelWorks = IsEnabled(w, "ButtonCancel") && !IsEnabled(w, "ButtonStart") &&
                                        !IsEnabled(w, "ButtonReset") && !IsEnabled(w, "LabelInfo") &&
                                        !IsEnabled(w, "CheckRememberSettings") &&
                                        !IsEnabled(w, "RadioFolder") && !IsEnabled(w, "CheckSetRead") &&
                                        !IsEnabled(w, "ButtonMoveEmails") &&
                                        IsEnabled(w, "EditFoldername") == false;
                      Click(w, "ButtonCancel");
                  });
                  user_->Answers.push_back(ui::idYes);
                  Click(w, "ButtonStart");
              }),
              TFormMain::mrOK);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(onlyCancelWorks);
    ASSERT_EQ(user_->Messages.size(), 2u);
    const std::string& summary = user_->Messages[1].Text;
    EXPECT_TRUE(summary.starts_with("User break.\r\nFolders inspected: 1   \r\n")) << summary;
    EXPECT_NE(summary.find("E-mails set to read: "), std::string::npos) << summary;
    EXPECT_LT(ReadMails(), 5);
}

TEST_F(MainWindowRun, StatusBarShowsFolderItemOfCountAndAction)
{
    AddMails(120);
    RememberMarkReadJob();
    std::set<std::string> counts;
    std::set<std::string> folders;
    std::set<std::string> steps;
    Open([&](TFormMain& w) {
        auto* watcher = new QTimer(&w);
        watcher->setInterval(0);
        QObject::connect(watcher, &QTimer::timeout, &w, [&] {
            if (!w.IsBusy()) return;
            counts.insert(StatusPanel(w, 2));
            folders.insert(StatusPanel(w, 1));
            steps.insert(StatusPanel(w, 3));
        });
        watcher->start();
        user_->Answers.push_back(ui::idYes);
        Click(w, "ButtonStart");
        watcher->stop();
        // The run's end empties the status bar.
        EXPECT_EQ(StatusPanel(w, 1) + StatusPanel(w, 2) + StatusPanel(w, 3), "");
    });
    EXPECT_TRUE(counts.contains("3 / 120"));
    EXPECT_TRUE(counts.contains("120 / 120"));
    EXPECT_EQ(folders, std::set<std::string>{"Inbox"});
    EXPECT_TRUE(steps.contains("Marking e-mail as read/unread")) << testing::PrintToString(steps);
    EXPECT_EQ(ReadMails(), 120);
}

}  // namespace
