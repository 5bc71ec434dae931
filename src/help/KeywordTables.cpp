#include "help/KeywordTables.h"

#include <array>

namespace keywords {
namespace {

using Group = std::span<const std::string_view>;
using Table = std::array<Group, 26>; // indexed by letter, 'A' at 0

// Statements. The order inside a group is what the operator sees and must stay as it is.
constexpr std::string_view StA[] = {"AT"};
constexpr std::string_view StB[] = {"BEEP", "BOOT", "BREAK"};
constexpr std::string_view StC[] = {"CASE", "CLK1",   "CLOSE",    "CLR",  "CLS",   "CRCD",
                                    "CRCM", "CREATE", "CONTINUE", "COPY", "CZCMD", "CZINI"};
constexpr std::string_view StD[] = {"DATA", "DAY", "DAYS", "DEFRAG", "DEL", "DELF", "DIR", "DRAW"};
constexpr std::string_view StE[] = {"END", "EXFOR"};
constexpr std::string_view StF[] = {"FCOPY", "FLUSH", "FOPEN", "FOR", "FORMAT", "FPRINT", "FSAVE"};
constexpr std::string_view StG[] = {"GOSUB", "GOTO"};
constexpr std::string_view StH[] = {"HOUR"};
constexpr std::string_view StI[] = {"IF",    "IFELSE", "IIADRR", "IIADRW", "IISTP",
                                    "IISTR", "IIWR",   "IOIRQ",  "IPCGF"};
constexpr std::string_view StK[] = {"KEYIRQ"};
constexpr std::string_view StL[] = {"LCDC", "LCDD", "LERR", "LINIT", "LIST", "LOCK", "LPRINT"};
constexpr std::string_view StM[] = {"MDB", "MDC", "MIN", "MONTH", "MBIRQ"};
constexpr std::string_view StN[] = {"NEXT", "NEW", "NOERR"};
constexpr std::string_view StP[] = {"PAUSE", "POINT", "POKE", "PORT", "PRINT", "PWM1", "PWM2"};
constexpr std::string_view StR[] = {"READ", "REBOOT", "REM", "RENAME", "RETURN", "RUN"};
constexpr std::string_view StS[] = {"SEC",  "SEEK",   "SET",   "SPRINT",
                                    "SPUT", "STATUS", "STEMP", "STOP"};
constexpr std::string_view StT[] = {"THEN", "TIMER", "TMR", "TMRIRQ", "TO", "TYPE", "TYPEB"};
constexpr std::string_view StU[] = {"UART", "UARTIRQ"};
constexpr std::string_view StV[] = {"VER", "VPRINT"};
constexpr std::string_view StW[] = {"WREE", "WRITE"};
constexpr std::string_view StY[] = {"YEAR"};

constexpr Table Statements = {StA,
                              StB,
                              StC,
                              StD,
                              StE,
                              StF,
                              StG,
                              StH,
                              StI,
                              /* J */ Group{},
                              StK,
                              StL,
                              StM,
                              StN,
                              /* O */ Group{},
                              StP,
                              /* Q */ Group{},
                              StR,
                              StS,
                              StT,
                              StU,
                              StV,
                              StW,
                              /* X */ Group{},
                              StY,
                              /* Z */ Group{}};

// Functions, written the way the board's BASIC calls them: the name with its argument braces.
constexpr std::string_view FnA[] = {"ABC{}", "ADC{}"};
constexpr std::string_view FnC[] = {"COS{}", "CRCD{}", "CRCM{}", "CZRD{}", "CALL{}"};
constexpr std::string_view FnD[] = {"DATE{}", "DAY{}", "DAYS{}", "DIR{}", "DIRF{}"};
constexpr std::string_view FnE[] = {"EOF{}"};
constexpr std::string_view FnF[] = {"FREAD{}"};
constexpr std::string_view FnG[] = {"GCLK{}",  "GDHTH{}", "GDHTT{}", "GKEY{}",
                                    "GTEMP{}", "GTOP#{}", "GTOP${}"};
constexpr std::string_view FnH[] = {"HOUR{}"};
constexpr std::string_view FnI[] = {"IIRE{}",  "IIRD{}",   "IIADRR{}", "IIADRW{}",
                                    "INPUT{}", "INSTR${}", "IPNEW{}"};
constexpr std::string_view FnK[] = {"KEY{}"};
constexpr std::string_view FnL[] = {"LOC{}", "LOF{}"};
constexpr std::string_view FnM[] = {"MDI{}", "MDR{}",  "MDW{}", "MDSR{}", "MDSW{}",
                                    "MHZ{}", "MID${}", "MIN{}", "MONTH{}"};
constexpr std::string_view FnP[] = {"PEEK{}", "PING{}", "PORT{}", "PORT*{}"};
constexpr std::string_view FnR[] = {"RDEE{}", "RFID{}", "RND{}",  "ROL{}",
                                    "ROR{}",  "RROM{}", "RTEMP{}"};
constexpr std::string_view FnS[] = {"SCOMP{}", "SCOMP${}", "SDATE{}", "SDT{}",
                                    "SEC{}",   "SGET{}",   "SHTH{}",  "SHTT{}",
                                    "SIN{}",   "SINPUT{}", "SQR{}",   "STIME{}"};
constexpr std::string_view FnT[] = {"TCMP{}", "TCPPST{}", "TCPSND{}", "TIME{}", "TIMER{}", "TMR{}"};
constexpr std::string_view FnU[] = {"UDPSND{}"};
constexpr std::string_view FnV[] = {"VAL{}"};
constexpr std::string_view FnW[] = {"WKEY{}"};
constexpr std::string_view FnY[] = {"YEAR{}"};

constexpr Table Functions = {FnA,
                             /* B */ Group{},
                             FnC,
                             FnD,
                             FnE,
                             FnF,
                             FnG,
                             FnH,
                             FnI,
                             /* J */ Group{},
                             FnK,
                             FnL,
                             FnM,
                             /* N */ Group{},
                             /* O */ Group{},
                             FnP,
                             /* Q */ Group{},
                             FnR,
                             FnS,
                             FnT,
                             FnU,
                             FnV,
                             FnW,
                             /* X */ Group{},
                             FnY,
                             /* Z */ Group{}};

// Plain ASCII arithmetic: std::toupper depends on the locale and is undefined for negative chars.
Group lookup(const Table& table, char letter) {
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z')
        return {};
    return table[static_cast<std::size_t>(letter - 'A')];
}

} // namespace

std::span<const std::string_view> statementsFor(char letter) {
    return lookup(Statements, letter);
}

std::span<const std::string_view> functionsFor(char letter) {
    return lookup(Functions, letter);
}

} // namespace keywords
