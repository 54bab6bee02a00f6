#pragma once
// The common file dialogs: the open and the save dialog, modal to a window.

#include <windows.h>

#include <string>

class TOpenDialog {
public:
    TOpenDialog() = default;
    TOpenDialog(const TOpenDialog&) = delete;
    TOpenDialog& operator=(const TOpenDialog&) = delete;

    std::string Title;
    // Pairs of a description and its patterns, all separated by "|":
    // "Sounds|*.wav;*.mp3|Any|*.*".
    std::string Filter;
    std::string FileName;  // proposed before Execute, chosen after it
    std::string InitialDir;

    // Shows the dialog owned by owner (the application window when null); true
    // when the user confirmed a file, which FileName then holds.
    bool Execute(HWND owner = nullptr);

protected:
    explicit TOpenDialog(bool save) : save_(save) {}

private:
    bool save_ = false;
};

class TSaveDialog : public TOpenDialog {
public:
    TSaveDialog() : TOpenDialog(true) {}
};
