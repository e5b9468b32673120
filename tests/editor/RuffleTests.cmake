# SPDX-License-Identifier: GPL-3.0-or-later
# The main window with the real player: the live preview as Ruffle draws it in Qt WebEngine
# (Chromium does not run under the address sanitizer).
marrowlark_add_test(editor_ruffle_tests QT NO_MAIN
                    SOURCES RuffleEditorTest.cpp "${PROJECT_SOURCE_DIR}/tests/platform/QtTestMain.cpp"
                    DEPENDS Marrowlark::EditorApp Qt6::Test Qt6::Widgets
                    LABELS ruffle noasan
                    ENVIRONMENT "QT_QPA_PLATFORM=offscreen" "QTWEBENGINE_DISABLE_SANDBOX=1")
# The test links the staged installation's folders into a private copy.
add_dependencies(editor_ruffle_tests marrowlark_ruffle marrowlark_data)
