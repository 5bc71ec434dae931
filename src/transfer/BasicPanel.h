#pragma once

struct BasicFilesControls;
struct TransferState;

// The "BASIC Files" panel: program upload and download, NEW, STATUS, continue and stop.
class BasicPanel {
public:
    BasicPanel(BasicFilesControls& basic, TransferState& s) : basic_(basic), s_(s) {}
    void connectControls();

    // Stop: the upload ends because its replies are no longer routed to it; nothing is sent.
    void Command14_Click();

private:
    BasicFilesControls& basic_;
    TransferState& s_;
};
