#pragma once

#include "app/CMainFrame.h"
#include "platform/Profile.h"
#include "settings/AppSettings.h"
#include "view/CPlaviaView.h"
#include "view/GlobalModes.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

// A fresh program state for each test: default settings, modes off, an empty settings store, and a
// main frame with its view built the way start-up builds them.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearStore();
        AppSettings::RestoreDefaults();
        GlobalModes::Reset();
        SettingsState::legalCheckActive = true;
        SettingsState::legalSuspendedByFile = false;
        SettingsState::currentTexture = 1;
    }
    void TearDown() override { frame.reset(); }

    CMainFrame& Frame()
    {
        if (!frame) frame = std::make_unique<CMainFrame>();
        return *frame;
    }
    CPlaviaView& View() { return *Frame().View(); }
    // The view on screen with the keyboard focus, as the mouse handlers want it for a release.
    CPlaviaView& ShownView()
    {
        CPlaviaView& view = View();
        Frame().show();
        Frame().activateWindow();
        view.setFocus();
        QApplication::processEvents();
        return view;
    }

    static void ClearStore()
    {
        Profile::SetRegistryKey("Oskeld free chess software", "Brennix");
        QSettings store(QSettings::IniFormat, QSettings::UserScope, "Oskeld free chess software", "Brennix");
        store.clear();
        store.sync();
        Profile::SetRegistryKey("Oskeld free chess software", "Brennix");
    }

    std::unique_ptr<CMainFrame> frame;
};
