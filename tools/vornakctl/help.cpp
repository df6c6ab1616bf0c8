#include "tools/vornakctl/help.h"

#include <string_view>

namespace vornak::cli {

// Written to be read as it is, and read by dist/help-to-man (the manual page) and the bash completion:
// "usage:" lines, a description, then sections whose titles end in a colon; in a section an entry is a term,
// a gap of two or more blanks and its description, a longer term goes on over the next lines at a smaller
// indent than the descriptions, and lines at the left margin are plain text.
const char* const kUsage =
    "usage: vornakctl [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Configure a Nimbrel KX1 keyboard from the command line: remap its keys, edit its macros, switch its\n"
    "profiles and set its lighting.\n"
    "\n"
    "A profile file (.fwc) holds the key assignments of the keyboard's three profiles and its macros. Take\n"
    "one from the keyboard with capture, change it offline with assign and macro, look at it with show and\n"
    "diff, and send it with apply. Every edit is checked as a whole before the file is written, and the "
    "file\n"
    "is replaced atomically: a refused edit leaves it as it was, byte for byte.\n"
    "\n"
    "commands:\n"
    "  keys                 list the keys: code, name, list position, matrix position\n"
    "  actions              list the media and function names that assign takes\n"
    "  validate FILE        check a profile file and say why it is rejected\n"
    "  show FILE            every assigned key of each profile and every macro of a profile file\n"
    "  diff A B             the keys and macros that differ between two profile files, per profile\n"
    "  assign FILE --profile P KEY=ACTION...\n"
    "                       give keys of profile P (1, 2, 3 or all) new assignments\n"
    "  macro FILE list      the macros, the keys that play them, and the macro table's size against the\n"
    "                       attached keyboard's memory\n"
    "  macro FILE show NAME\n"
    "                       one macro: its steps, its actions and the keys that play it\n"
    "  macro FILE add NAME [--repeat N] STEP...\n"
    "                       a new macro; N is how often it plays, 1 to 255 (default 1)\n"
    "  macro FILE set NAME [--repeat N] STEP...\n"
    "                       new steps for a macro, and a new repeat count when one is given\n"
    "  macro FILE rename OLD NEW\n"
    "                       give a macro another name\n"
    "  macro FILE remove NAME [--yes]\n"
    "                       remove a macro; the keys that play it return to default, and when there are\n"
    "                       such keys it is removed only with --yes or a yes at the question on a terminal\n"
    "  status               keyboards attached, active profile, macro memory, G-key layer, effects\n"
    "  capture FILE         read the keyboard's whole configuration into a profile file\n"
    "  apply FILE           check a profile file, and that its macros fit the keyboard's memory, then send\n"
    "                       it to all three profiles\n"
    "  profile N            make on-board profile N (1 to 3) the active one\n"
    "  lighting [--profile P] [--effect N|NAME] [--brightness 0-5] [--speed 0-5]\n"
    "           [--direction first|second] [--colour RRGGBB] [--colourful on|off] [--defaults]\n"
    "                       each option one lighting change, in the order given\n"
    "  paint --profile P --mode M KEY=RRGGBB...\n"
    "                       paint keys (G1..G9 and Fn too) into user mode M (0 to 9) of profile P and\n"
    "                       send it\n"
    "  usermode --profile P --mode M\n"
    "                       make user mode M the current one of profile P and send its colours\n"
    "  rules list|on|off    the applications whose windows switch the profile, following on or off\n"
    "  rules add APP N [--title TEXT]\n"
    "                       windows of application APP (its app id or WM_CLASS) get profile N (1 to 3);\n"
    "                       with a title text, only windows whose title contains it\n"
    "  rules remove APP     remove the application's rules\n"
    "  rules default N|none the profile of windows that no rule names, or none to leave it\n"
    "  help [COMMAND]       this text, or the help of one command (COMMAND --help says the same)\n"
    "\n"
    "options:\n"
    "  --simulate           use the bundled simulated keyboard\n"
    "  --library PATH       use this device library (VORNAK_PORTHUB=PATH does the same)\n"
    "  --json               machine-readable output of keys, actions, validate, show, diff, macro list,\n"
    "                       macro show, status\n"
    "                       and rules list\n"
    "  --yes                answer yes to questions (otherwise their default answer is taken)\n"
    "  --force              when Vornak runs, discard its window's unapplied edits that apply or profile\n"
    "                       would overwrite (without it they are refused, exit status 6)\n"
    "  --help               this text; after a command, the help of that command\n"
    "  --version            the program's version\n"
    "The options may stand before or after the command (vornakctl apply --yes FILE). A \"--\" ends them,\n"
    "and every argument after it is taken as it stands.\n"
    "When Vornak runs on the same keyboard, the keyboard commands are carried out by it (over the session\n"
    "bus), in order with its window's work, and its window shows what changed; status says so.\n"
    "\n"
    "keys:\n"
    "  NAME                 a key as 'vornakctl keys' lists it, in any case; a name with a blank is one\n"
    "                       quoted argument (\"Caps Lock\"); Up, Down, Left, Right, Escape and Minus\n"
    "  0xCODE               a key by its code in hexadecimal (0x03A)\n"
    "  G1..G9, G1:B..G9:B   a G key on layer A, or on layer B\n"
    "In KEY=ACTION and KEY=RRGGBB the key is everything before the first '=' that is not the argument's\n"
    "first character, so the key '=' is written ==key:X.\n"
    "\n"
    "actions:\n"
    "  default              the key's own function\n"
    "  key:NAME             send another key (a key given itself returns to default)\n"
    "  macro:NAME[*N]       play a macro; N (1 to 255) becomes the macro's repeat count, which the keyboard\n"
    "                       keeps for the macro, not for each key; without it the macro's count stands\n"
    "  macro:#ID[*N]        the same, naming the macro by its id\n"
    "  media:NAME           a media action: media-player, play-pause, stop, previous-track, next-track,\n"
    "                       volume-down, volume-up, mute, web-home, web-refresh, web-stop, web-back,\n"
    "                       web-forward, web-favourites, web-search, my-computer, calculator, mail\n"
    "  function:NAME        an editing function: open, new, undo, save, copy, cut, paste, find,\n"
    "                       select-all, zoom-out, zoom-in\n"
    "'vornakctl actions' lists the media and function names with their names in the language in use, which\n"
    "are read too. G9 takes only a macro or default. A macro name that two macros share is refused, naming\n"
    "their ids: name one as macro:#ID.\n"
    "\n"
    "macro steps:\n"
    "  +KEY                 a press\n"
    "  -KEY                 a release\n"
    "  KEY                  a tap: a press that waits 50 ms, then its release\n"
    "  N, Nms               the delay after the action before it, 0 to 40000 ms, rounded down to a multiple\n"
    "                       of 10 (which is said on stderr)\n"
    "An action with no number after it waits 50 ms, except the last action, which waits 0. A bare number is\n"
    "always a delay: a digit key is tapped as +5 -5. So \"+ctrl +c 40 -c -ctrl\" is: Ctrl down, 50; C down,\n"
    "40; C up, 50; Ctrl up, 0. A macro holds at most 2000 actions, a file at most 100 macros. A step that\n"
    "cannot be read is refused, naming the step. 'macro show' prints a macro's steps in this form, ready\n"
    "for 'macro set'.\n"
    "\n"
    "examples:\n"
    "  vornakctl capture kx1.fwc\n"
    "                       read the keyboard's configuration into a profile file\n"
    "  vornakctl assign kx1.fwc --profile 1 \"Caps Lock=key:Ctrl\"\n"
    "                       Caps Lock becomes a second Ctrl on profile 1\n"
    "  vornakctl macro kx1.fwc add Copy +ctrl +c -c -ctrl\n"
    "                       a copy macro: Ctrl down, C tapped, Ctrl up\n"
    "  vornakctl assign kx1.fwc --profile 1 F5=macro:Copy\n"
    "                       F5 plays it\n"
    "  vornakctl assign kx1.fwc --profile all G1:B=macro:Copy*3\n"
    "                       G1 on layer B plays it three times, on every profile\n"
    "  vornakctl diff kx1.fwc ~/dotfiles/kx1.fwc\n"
    "                       what differs between the two files, per profile\n"
    "  vornakctl apply kx1.fwc\n"
    "                       check the file, then send it to all three profiles\n"
    "  vornakctl lighting --profile 1 --effect Breathing --brightness 4 --colour 00a0ff\n"
    "                       set the lighting of profile 1, one option after the other\n"
    "  vornakctl --simulate status\n"
    "                       the state of the simulated keyboard\n"
    "\n"
    "exit codes:\n"
    "  0 done; for diff: the files hold the same keys and macros\n"
    "  1 the operation failed: the keyboard refused or did not answer; for diff: the files differ\n"
    "  2 wrong arguments: an unknown command, option or name, a step that cannot be read, a value out of "
    "range\n"
    "  3 no keyboard attached, or the device library cannot be bound\n"
    "  4 a profile file is missing, unreadable or rejected (the reason is named)\n"
    "  5 a file could not be written\n"
    "  6 refused by a rule: G9, a macro name shared or taken, a limit, a macro keys play, the keyboard's "
    "memory, unapplied edits in Vornak's window (see --force)\n"
    "An error is one line on stderr; nothing reaches the keyboard or a file when an argument is wrong.\n";

namespace {

struct CommandText {
    std::string_view name;
    const char* text;
};

constexpr CommandText kCommandHelp[] = {
    {"keys",
     "usage: vornakctl keys [--json]\n"
     "List every key of the key table: its code, its name, its place in the key list and on the keyboard.\n"},
    {"actions",
     "usage: vornakctl actions [--json]\n"
     "List the names that media:NAME and function:NAME take, with their names in the language in use.\n"},
    {"validate",
     "usage: vornakctl validate [--json] FILE\n"
     "Check a profile file; say why it is rejected (exit status 4).\n"},
    {"show",
     "usage: vornakctl show [--json] FILE\n"
     "Every assigned key of each profile, as KEY ACTION, and every macro with its steps.\n"},
    {"diff",
     "usage: vornakctl diff [--json] A B\n"
     "The keys whose assignments differ, per profile, and the macros that differ (paired by name: a capture\n"
     "numbers the keyboard's macros afresh). Exit status 0 when the files hold the same, 1 when they "
     "differ.\n"},
    {"assign",
     "usage: vornakctl assign FILE --profile P KEY=ACTION...\n"
     "Give keys of profile P (1, 2, 3 or all) new assignments. ACTION is default, key:NAME,\n"
     "macro:NAME[*N], macro:#ID[*N], media:NAME or function:NAME (see vornakctl --help). All of them are\n"
     "made, or none.\n"
     "Example: vornakctl assign kx1.fwc --profile 1 \"Caps Lock=key:Ctrl\" F5=macro:Copy\n"},
    {"macro",
     "usage: vornakctl macro FILE list | show NAME | add NAME STEP... | set NAME STEP... |\n"
     "                        rename OLD NEW | remove NAME\n"
     "  --repeat N           for add and set: how often the macro plays, 1 to 255\n"
     "  --yes                for remove: remove a macro that keys play, and return them to default\n"
     "NAME is a macro's name, or #ID. STEP is +KEY (press), -KEY (release), KEY (tap) or a delay N or Nms\n"
     "(see vornakctl --help).\n"
     "Example: vornakctl macro kx1.fwc add Copy +ctrl +c -c -ctrl\n"},
    {"status",
     "usage: vornakctl status [--json]\nThe attached keyboards, the active profile, the macro memory, the "
     "G-key layer and the effects, and whether the running program opened the keyboard.\n"},
    {"capture",
     "usage: vornakctl capture FILE\nRead the keyboard's whole configuration into a profile file.\n"},
    {"apply",
     "usage: vornakctl apply [--force] FILE\n"
     "Check a profile file, and that its macros fit the keyboard's macro memory, then send it to all three\n"
     "profiles.\n"},
    {"profile", "usage: vornakctl profile [--force] N\nMake on-board profile N (1 to 3) the active one.\n"},
    {"rules",
     "usage: vornakctl rules list | add APP N [--title TEXT] | remove APP | default N|none | on | off\n"
     "The rules that switch the keyboard to a profile when a window of an application has kept the focus\n"
     "for 300 ms. APP is a Wayland application id or an X11 WM_CLASS, in any case; a rule with a title text\n"
     "applies only to windows whose title contains it, and is tried before the application's plain rule.\n"
     "The default applies to windows no rule names (none: the profile is left as it is). Following is on\n"
     "when rules exist and it is not turned off. The rules are kept in vornak-applications.ini in the\n"
     "configuration folder; a running Vornak reads every change at once. list --json prints them as JSON.\n"
     "Example: vornakctl rules add steam_app_570 2 && vornakctl rules add firefox 3 --title YouTube\n"},
    {"lighting",
     "usage: vornakctl lighting [--profile P] [--effect N|NAME] [--brightness 0-5] [--speed 0-5]\n"
     "                          [--direction first|second] [--colour RRGGBB] [--colourful on|off] "
     "[--defaults]\n"
     "Each option is one lighting change, in the order given.\n"},
    {"paint",
     "usage: vornakctl paint --profile P --mode M KEY=RRGGBB...\n"
     "Paint keys (G1..G9 and Fn too) into user mode M (0 to 9) of profile P and send it.\n"},
    {"usermode",
     "usage: vornakctl usermode --profile P --mode M\n"
     "Make user mode M the current one of profile P and send its colours.\n"},
};

}  // namespace

const char* CommandHelp(std::string_view command) {
    for (const CommandText& c : kCommandHelp) {
        if (c.name == command) return c.text;
    }
    return kUsage;
}

}  // namespace vornak::cli
