#pragma once

class Session;

// One runner per command; each returns the exit code and has reported what went wrong.
int runSend(Session& s);
int runBoardCommand(Session& s); // new, status
int runUpload(Session& s);
int runDownload(Session& s);
int runVerify(Session& s);
int runPut(Session& s);
int runGet(Session& s);
int runModbus(Session& s);
int runModbusPolling(Session& s); // modbus --every
int runMonitor(Session& s);
