#pragma once

#include "gui_harness.h"

#include "support/recordingmessagesink.h"
#include "support/tempfolder.h"

#include <memory>

// What a test of the main window needs afresh for each test function: a
// program folder, a folder of files, a message recorder, the settings, and
// the window once started. A test class derives from it and calls SetUp and
// TearDown from its init and cleanup.
class WindowTest : public QObject
{
protected:
    void SetUp()
    {
        m_program = std::make_unique<ProgramFolder>();
        m_folder = std::make_unique<TempFolder>();
        m_messages = std::make_unique<RecordingMessageSink>();
        m_settings = std::make_unique<AppSettings>();
        SetFirstRunHook([] { return true; });
    }

    void TearDown()
    {
        if (m_window)
            m_window->hide();
        m_window.reset();
        m_settings.reset();
        m_messages.reset();
        m_folder.reset();
        m_program.reset();
    }

    // The window started on a folder of a.txt, b.txt and c.txt.
    MainWindow &StartOnThreeFiles()
    {
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            m_folder->addFile(QLatin1StringView(name));
        m_window = StartWindow(*m_program, *m_settings, m_folder->path());
        return *m_window;
    }

    std::unique_ptr<ProgramFolder> m_program;
    std::unique_ptr<TempFolder> m_folder;
    std::unique_ptr<RecordingMessageSink> m_messages;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
};
