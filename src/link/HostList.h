#pragma once

class Dialogs;
struct CommandLineControls;
struct LinkControls;

// The board addresses offered in the host box: Add, Del and Save to terminal.ini.
class HostList {
public:
    HostList(LinkControls& link, CommandLineControls& line, Dialogs& dialogs)
        : link_(link), line_(line), dialogs_(dialogs) {}
    void connectControls();

    void addHost();
    void deleteHost();
    void saveHosts();

private:
    LinkControls& link_;
    CommandLineControls& line_;
    Dialogs& dialogs_;
};
