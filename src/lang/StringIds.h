// Numeric ids of every user-visible text; the texts themselves live in the built-in string table.
#pragma once

#include <cstdint>

constexpr uint32_t IDS_ABOUT_ITEM = 101; // "About..." in the system menu

// Messages and message-box titles
constexpr uint32_t IDS_MSG_SAVE_CHANGES = 32779;
constexpr uint32_t IDS_TITLE_WARNING = 32780;
constexpr uint32_t IDS_TITLE_ERROR = 32781;
constexpr uint32_t IDS_RESULT_CANNOT_OPEN_FILE = 32782;
constexpr uint32_t IDS_MSG_CLEAR_KEY = 32785;
constexpr uint32_t IDS_MSG_CLEAR_ALL_KEYS = 32786;
constexpr uint32_t IDS_STATUS_NAME = 32788;
constexpr uint32_t IDS_STATUS_NUMBER = 32789;
constexpr uint32_t IDS_STATUS_NO_NAME = 32790;
constexpr uint32_t IDS_STATUS_NO_NUMBER = 32791;
constexpr uint32_t IDS_WINDOW_TITLE = 32800; // "%fn% [%sp%] - ZQ programmer"
constexpr uint32_t IDS_NO_NAME = 32801;
constexpr uint32_t IDS_MSG_CANNOT_SAVE = 32802;
constexpr uint32_t IDS_MSG_CANNOT_OPEN = 32803;
constexpr uint32_t IDS_MSG_UNKNOWN_FORMAT = 32804;
constexpr uint32_t IDS_MSG_DECODING_ERRORS = 32805;
constexpr uint32_t IDS_TITLE_QUESTION = 32806;
constexpr uint32_t IDS_MSG_CANNOT_PASTE = 32807;
constexpr uint32_t IDS_MSG_REPLACE_KEY = 32808;

constexpr uint32_t IDS_FILE_VERSION_ERROR = 33011;
constexpr uint32_t IDS_RESULT_DECODING_ERROR = 33012;

// Keyboard error text lines
constexpr uint32_t IDS_USB_ERROR_NOT_FUNCTIONING = 33013; // OS error 31
constexpr uint32_t IDS_USB_ERROR_NOT_CONNECTED = 33014;   // OS error 1167
constexpr uint32_t IDS_ZQ_ERROR_FAILED = 33015;           // status 2
constexpr uint32_t IDS_ZQ_ERROR_BUSY = 33016;             // status 3
constexpr uint32_t IDS_ZQ_ERROR_DENIED = 33017;           // status 4
constexpr uint32_t IDS_ZQ_ERROR_NOT_ALLOWED = 33018;      // status 5
constexpr uint32_t IDS_ZQ_ERROR_PROGRAMMING = 33019;      // status 6

constexpr uint32_t IDS_KEY_DEFAULT_NAME = 34000; // "Key_"
constexpr uint32_t IDS_CONFIGURATION_TAB = 34006;

// Device result code messages
constexpr uint32_t IDS_RESULT_NOT_SUPPORTED = 35000;
constexpr uint32_t IDS_RESULT_CORRUPTED_FILE = 35001;
constexpr uint32_t IDS_RESULT_NO_DRIVER = 35003;
constexpr uint32_t IDS_RESULT_DATA_NOT_VALID = 35004;
constexpr uint32_t IDS_RESULT_COMMUNICATION = 35005;
constexpr uint32_t IDS_RESULT_UNKNOWN = 35006;
constexpr uint32_t IDS_RESULT_RECEIVING_CONFIGURATION = 35007;
constexpr uint32_t IDS_RESULT_INCORRECT_DATA = 35008;
constexpr uint32_t IDS_RESULT_INCORRECT_CONFIGURATION = 35009;
constexpr uint32_t IDS_RESULT_UNSUPPORTED_VERSION = 35010;
constexpr uint32_t IDS_RESULT_STARTING_APPLICATION = 35011;
constexpr uint32_t IDS_RESULT_ZQ_VERSION = 35012;
constexpr uint32_t IDS_RESULT_NO_DEVICE = 35013;
constexpr uint32_t IDS_RESULT_ZQ1100_NOT_FOUND = 35014;
constexpr uint32_t IDS_RESULT_INCORRECT_VERSION = 35015;
constexpr uint32_t IDS_CONVERT_TO_VERSION = 35016; // "Convert the project to the folowing version: "

// File dialog filter descriptions
constexpr uint32_t IDS_FILTER_ZQ2200_LAYOUT = 36000;
constexpr uint32_t IDS_FILTER_FIRMWARE = 36001;
constexpr uint32_t IDS_FILTER_ZQ1100_LAYOUT = 36002;
constexpr uint32_t IDS_FILTER_ALL_LAYOUTS = 36007;

// Keyboard type names
constexpr uint32_t IDS_TYPE_ZQ2200_THREE = 36100;
constexpr uint32_t IDS_TYPE_ZQ2200_TWO = 36101;
constexpr uint32_t IDS_TYPE_ZQ2200_ONE = 36102;
constexpr uint32_t IDS_TYPE_ZQ1100_V1_SINGLE = 36103;
constexpr uint32_t IDS_TYPE_ZQ1100_V1_DOUBLE = 36104;
constexpr uint32_t IDS_TYPE_ZQ1100_V2_SINGLE = 36105;
constexpr uint32_t IDS_TYPE_ZQ1100_V2_DOUBLE = 36106;
constexpr uint32_t IDS_TYPE_ZQ1100_V1 = 36107;
constexpr uint32_t IDS_TYPE_ZQ3300_DOUBLE = 36108;
constexpr uint32_t IDS_TYPE_ZQ3300_SINGLE_TWO = 36109;
constexpr uint32_t IDS_TYPE_ZQ3300_SINGLE_ONE = 36110;
constexpr uint32_t IDS_TYPE_ZQ3300_DOUBLE_TWO = 36111;
constexpr uint32_t IDS_TYPE_ZQ3300_DOUBLE_ONE = 36112;

// Key cells
constexpr uint32_t IDS_KEY_TYPE_KEY = 36300;
constexpr uint32_t IDS_KEY_TYPE_MODIFIER = 36301;
constexpr uint32_t IDS_KEY_TYPE_NEXT_LAYOUT = 36302;
constexpr uint32_t IDS_KEY_TYPE_LAYOUT_N = 36303; // "Switch to Layout %d"
constexpr uint32_t IDS_MODE_1 = 36304;
constexpr uint32_t IDS_MODE_2 = 36305;
constexpr uint32_t IDS_MODE_3 = 36306;

// Control texts of the editor window
constexpr uint32_t IDS_CTL_PROGRAMMED_KEYS = 36309;
constexpr uint32_t IDS_CTL_KEY_GROUP = 36310;
constexpr uint32_t IDS_CTL_KEY_NUMBER = 36311;
constexpr uint32_t IDS_CTL_KEY_NAME = 36312;
constexpr uint32_t IDS_CTL_KEY_FLAGS = 36313;
constexpr uint32_t IDS_CTL_SET_MODE_ALL = 36314;
constexpr uint32_t IDS_CTL_SELECT_KEY_TYPE = 36315;
constexpr uint32_t IDS_CTL_SIMPLE_KEY = 36316;
constexpr uint32_t IDS_CTL_GROUP_KEY = 36317;
constexpr uint32_t IDS_CTL_SET_SIMPLE_ALL = 36318;
constexpr uint32_t IDS_CTL_KEY_CODES = 36319;
constexpr uint32_t IDS_CTL_APPLY = 36320;
constexpr uint32_t IDS_CTL_DELETE_LAST_CODE = 36321;
constexpr uint32_t IDS_CTL_CANCEL = 36322;
constexpr uint32_t IDS_CTL_ENTER_HINT = 36323;
constexpr uint32_t IDS_CTL_RFID = 36324;
constexpr uint32_t IDS_CTL_DIGITS_COUNT = 36325;
constexpr uint32_t IDS_CTL_DIGITS_NUMERIC = 36326;
constexpr uint32_t IDS_CTL_PREFIX = 36327;
constexpr uint32_t IDS_CTL_CLEAR = 36328;
constexpr uint32_t IDS_CTL_SUFFIX = 36329;
constexpr uint32_t IDS_CTL_KEY_BEEP = 36330;
constexpr uint32_t IDS_CTL_KEYS_TYPE = 36331;
constexpr uint32_t IDS_CTL_MAKE_BREAK = 36332;
constexpr uint32_t IDS_CTL_TYPEMATIC = 36333;
constexpr uint32_t IDS_CTL_KEYS_PAUSE = 36334;
constexpr uint32_t IDS_CTL_KEY_REPEAT = 36335;
constexpr uint32_t IDS_CTL_TYPEMATIC_RATE = 36336;
constexpr uint32_t IDS_CTL_KEY_DELAY = 36337;
constexpr uint32_t IDS_CTL_EXTENDED = 36382;
constexpr uint32_t IDS_CTL_EDIT_CODES = 36384;

// Main menu
constexpr uint32_t IDS_MENU_FILE = 36338;
constexpr uint32_t IDS_MENU_KEYBOARD = 36339;
constexpr uint32_t IDS_MENU_CONFIGURATION = 36340;
constexpr uint32_t IDS_MENU_HELP = 36341;
constexpr uint32_t IDS_MENU_NEW = 36342;
constexpr uint32_t IDS_MENU_OPEN = 36343;
constexpr uint32_t IDS_MENU_SAVE = 36344;
constexpr uint32_t IDS_MENU_SAVE_AS = 36345;
constexpr uint32_t IDS_MENU_EXIT = 36346;
constexpr uint32_t IDS_MENU_PROGRAMMING = 36347;
constexpr uint32_t IDS_MENU_DOWNLOAD = 36348;
constexpr uint32_t IDS_MENU_UPLOAD_FIRMWARE = 36349;
constexpr uint32_t IDS_MENU_FAST_EDIT = 36350;
constexpr uint32_t IDS_MENU_DEFAULT_APPLY = 36351;
constexpr uint32_t IDS_MENU_ESC_END = 36352;
constexpr uint32_t IDS_MENU_CONFIRM_DELETE = 36353;
constexpr uint32_t IDS_MENU_CONFIRM_REPLACE = 36354;
constexpr uint32_t IDS_MENU_USE_DEFAULT_KEYB = 36355;
constexpr uint32_t IDS_MENU_USE_LAST_KEYB = 36356;
constexpr uint32_t IDS_MENU_CONTENT = 36357;
constexpr uint32_t IDS_MENU_ABOUT = 36358;
constexpr uint32_t IDS_MENU_FIRMWARE_VERSION = 36387;

// Key context menu (also items of the main menu)
constexpr uint32_t IDS_CTX_PROGRAM_KEY = 36359;
constexpr uint32_t IDS_CTX_COPY = 36360;
constexpr uint32_t IDS_CTX_CUT = 36361;
constexpr uint32_t IDS_CTX_PASTE = 36362;
constexpr uint32_t IDS_CTX_PASTE_FROM_LIST = 36363;
constexpr uint32_t IDS_CTX_SINGLE = 36364;
constexpr uint32_t IDS_CTX_DOUBLE = 36365;
constexpr uint32_t IDS_CTX_QUAD = 36366;
constexpr uint32_t IDS_CTX_TO_RIGHT = 36367;
constexpr uint32_t IDS_CTX_TO_LEFT = 36368;
constexpr uint32_t IDS_CTX_TO_DOWN = 36369;
constexpr uint32_t IDS_CTX_TO_UP = 36370;
constexpr uint32_t IDS_CTX_TO_RIGHT_DOWN = 36372;
constexpr uint32_t IDS_CTX_TO_RIGHT_UP = 36373;
constexpr uint32_t IDS_CTX_TO_LEFT_DOWN = 36374;
constexpr uint32_t IDS_CTX_TO_LEFT_UP = 36375;
constexpr uint32_t IDS_CTX_CLEAR_KEY = 36376;
constexpr uint32_t IDS_CTX_CLEAR_ALL = 36377;
constexpr uint32_t IDS_CTX_SWAP = 36383;

// Dialogs
constexpr uint32_t IDS_SELECT_KEYBOARD_CAPTION = 36378;
constexpr uint32_t IDS_BUTTON_OK = 36379;
constexpr uint32_t IDS_USE_AS_DEFAULT = 36380;
constexpr uint32_t IDS_BUTTON_CANCEL = 36385;
constexpr uint32_t IDS_SCAN_CODES_CAPTION = 36386;

// Texts without an id of their own among the 36xxx ones; all of them live from 34100 on
// (34100..34199, then 34200..34299), ids no other text uses, so that a language file can translate
// them too.
constexpr uint32_t IDS_ABOUT_CAPTION = 34100;           // "About"
constexpr uint32_t IDS_PROGRAM_NAME = 34101;            // "ZQ programmer"
constexpr uint32_t IDS_VERSION_LABEL = 34102;           // "Version:"
constexpr uint32_t IDS_COMMUNICATION_CAPTION = 34103;   // "Communication..."
constexpr uint32_t IDS_CTL_SCAN_CODES_GROUP = 34104;    // "Scan-codes"
constexpr uint32_t IDS_CTL_PAUSE_RANGE = 34105;         // "(0 - 255) ms"
constexpr uint32_t IDS_CTL_KEY_CODE_MODIFIER = 34106;   // "Key code / modif."
constexpr uint32_t IDS_MENU_CLEAR_ALL_KEYS = 34107;     // main menu text of "Clear All"
constexpr uint32_t IDS_FIRMWARE_VERSION_FORMAT = 34108; // "%s v %d.%d.%d"

// Names that screen readers announce for controls without a visible label.
constexpr uint32_t IDS_ACC_LAYOUT_TABS = 34190;      // "Layouts"
constexpr uint32_t IDS_ACC_KEYBOARD_PICTURE = 34191; // "Keyboard picture"
// Shown over the code fields while every key press is captured into the key.
constexpr uint32_t IDS_CAPTURE_ON = 34192;
constexpr uint32_t IDS_OPEN_READ_ONLY = 34193; // the Open dialog's check box
constexpr uint32_t IDS_MENU_EDIT = 34194;
constexpr uint32_t IDS_MENU_UNDO = 34195;
constexpr uint32_t IDS_MENU_REDO = 34196;

constexpr uint32_t IDS_LAYOUT_KEYBOARD = 34110;
constexpr uint32_t IDS_LAYOUT_LEFT_SIDE = 34111;
constexpr uint32_t IDS_LAYOUT_RIGHT_SIDE = 34112;
constexpr uint32_t IDS_LAYOUT_FIRST = 34113;
constexpr uint32_t IDS_LAYOUT_SECOND = 34114;
constexpr uint32_t IDS_LAYOUT_THIRD = 34115;

constexpr uint32_t IDS_CODE_LABEL_KEY_CODE = 34120;    // legacy, index 0
constexpr uint32_t IDS_CODE_LABEL_BLANK = 34121;       // legacy, index 1: " "
constexpr uint32_t IDS_CODE_LABEL_MODIFICATOR = 34122; // USB, index 0
constexpr uint32_t IDS_CODE_LABEL_KEY = 34123;         // USB, index 1

constexpr uint32_t IDS_FILTER_ZQ3300_LAYOUT = 34130;
constexpr uint32_t IDS_FILTER_ZQ1100_16_SCANS = 34131;
constexpr uint32_t IDS_FILTER_ZQ1100_7_3_SCANS = 34132;
constexpr uint32_t IDS_FILTER_ZQ1100_LEFT_SIDE = 34133;
constexpr uint32_t IDS_FILTER_ZQ1100_RIGHT_SIDE = 34134;

constexpr uint32_t IDS_CONVERSION_WARNING = 34140; // "Convert to %s?\n..."

// Conversion titles
constexpr uint32_t IDS_CONV_TO_V2_SINGLE = 34150; // trailing blank kept
constexpr uint32_t IDS_CONV_TO_V1_DOUBLE_LEFT = 34151;
constexpr uint32_t IDS_CONV_TO_V1_DOUBLE_RIGHT = 34152;
constexpr uint32_t IDS_CONV_TO_V1_SINGLE = 34153; // trailing blank kept
constexpr uint32_t IDS_CONV_TO_V2_DOUBLE_LEFT = 34154;
constexpr uint32_t IDS_CONV_TO_V2_DOUBLE_RIGHT = 34155;
constexpr uint32_t IDS_CONV_TO_V2_DOUBLE = 34156;
constexpr uint32_t IDS_CONV_TO_V1_DOUBLE = 34157;
constexpr uint32_t IDS_CONV_EXCHANGE_SIDES = 34158; // legacy and ZQ-3300
constexpr uint32_t IDS_CONV_LEFT_TO_V1_SINGLE = 34159;
constexpr uint32_t IDS_CONV_RIGHT_TO_V1_SINGLE = 34160;
constexpr uint32_t IDS_CONV_LEFT_TO_V2_SINGLE = 34161;
constexpr uint32_t IDS_CONV_RIGHT_TO_V2_SINGLE = 34162;
constexpr uint32_t IDS_CONV_EXCHANGE_FIRST_SECOND = 34170; // ZQ-2200 and ZQ-3300
constexpr uint32_t IDS_CONV_EXCHANGE_FIRST_THIRD = 34171;
constexpr uint32_t IDS_CONV_EXCHANGE_SECOND_THIRD = 34172;
constexpr uint32_t IDS_CONV_TO_ZQ2200_ONE = 34173;
constexpr uint32_t IDS_CONV_TO_ZQ2200_TWO = 34174;
constexpr uint32_t IDS_CONV_TO_ZQ2200_THREE = 34175;
constexpr uint32_t IDS_CONV_TO_ZQ3300_DOUBLE_ONE = 34180;
constexpr uint32_t IDS_CONV_TO_ZQ3300_DOUBLE_TWO = 34181;
constexpr uint32_t IDS_CONV_TO_ZQ3300_SINGLE_ONE = 34182;
constexpr uint32_t IDS_CONV_TO_ZQ3300_SINGLE_TWO = 34183;

// Texts the 36xxx table has no counterpart for.
constexpr uint32_t IDS_USB_ERROR_IN_USE = 34197; // OS error 32: another program has the keyboard open
// Programming with verification and a backup of what the keyboard held.
constexpr uint32_t IDS_RESULT_VERIFY_MISMATCH = 34198;  // result code 20
constexpr uint32_t IDS_VERIFY_FIRST_DIFFERENCE = 34199; // "%s": the address as 0x and four digits
constexpr uint32_t IDS_MENU_VERIFY_AFTER_PROGRAMMING = 34200;
constexpr uint32_t IDS_MENU_BACKUP_BEFORE_PROGRAMMING = 34201;
constexpr uint32_t IDS_MENU_OPEN_BACKUPS = 34202;
constexpr uint32_t IDS_MSG_BACKUP_FAILED = 34203; // "%s": why, as a device or file message
constexpr uint32_t IDS_MSG_LEGACY_NO_READ_BACK = 34204;
constexpr uint32_t IDS_FILTER_BACKUPS = 34205;     // the backups dialog's filter line
constexpr uint32_t IDS_RESULT_INTERRUPTED = 34206; // result code 21
// Why a firmware file is refused, in the error text after "Incorrect or corrupted file."
constexpr uint32_t IDS_FIRMWARE_EMPTY = 34207;
constexpr uint32_t IDS_FIRMWARE_NOT_HEX = 34208; // "%s": the 1-based position of the character
constexpr uint32_t IDS_FIRMWARE_LENGTH = 34209;  // "%s": the count of hexadecimal digits
// Save As in a format the project's own reader refuses: "%s" the format, "%n" the type name.
constexpr uint32_t IDS_MSG_FORMAT_NOT_READ_BACK = 34210;
constexpr uint32_t IDS_FIRMWARE_TOO_LARGE = 34211; // "%s": the file's size in bytes
// In the error text after a write that stopped part-way.
constexpr uint32_t IDS_PARTLY_WRITTEN = 34212;
// Why a project file was not opened, after the file's name.
constexpr uint32_t IDS_OPEN_WHY_EMPTY = 34213;
constexpr uint32_t IDS_OPEN_WHY_LINE = 34214; // "%s": the 1-based line of the first error
constexpr uint32_t IDS_OPEN_WHY_BYTE_ORDER_MARK = 34215;
constexpr uint32_t IDS_OPEN_WHY_BLANKS = 34216;
constexpr uint32_t IDS_OPEN_WHY_FIRST_LINE = 34217; // "%s": the first line, shortened and escaped
constexpr uint32_t IDS_OPEN_WHY_LONG_LINE = 34218;  // "%s": the longest line in MiB
// The editor started from a terminal.
constexpr uint32_t IDS_START_NO_DISPLAY = 34219;
constexpr uint32_t IDS_START_HELP = 34220; // "%s": the program's name
constexpr uint32_t IDS_START_HELP_OPTIONS = 34228;
// The one line a device command leaves on a terminal: "%n" the keyboard type, "%s" the seconds.
constexpr uint32_t IDS_DONE_PROGRAMMED_VERIFIED = 34221;
constexpr uint32_t IDS_DONE_PROGRAMMED = 34222;
constexpr uint32_t IDS_DONE_DOWNLOADED = 34223;
constexpr uint32_t IDS_DONE_FIRMWARE = 34224;
constexpr uint32_t IDS_DONE_VERSION = 34225;
constexpr uint32_t IDS_DONE_REPORTS = 34226; // "%s": the count of reports or driver calls
constexpr uint32_t IDS_DEVICE_BUSY = 34227;  // "%n": the keyboard type
// Number fields and the settings file.
constexpr uint32_t IDS_NUMBER_RANGE = 34240;            // "%s" and "%s": the lowest and highest value
constexpr uint32_t IDS_MSG_SETTINGS_NOT_A_FILE = 34241; // "%s": the settings file's path
// The editor's feedback: window title, status bar, progress phases.
constexpr uint32_t IDS_TITLE_READ_ONLY = 34260; // after the file name in the window title
// Beside the progress bar; "%n": the keyboard's type name.
constexpr uint32_t IDS_PHASE_CONNECTING = 34261;
constexpr uint32_t IDS_PHASE_BACKING_UP = 34262;
constexpr uint32_t IDS_PHASE_WRITING = 34263;
constexpr uint32_t IDS_PHASE_VERIFYING = 34264;
constexpr uint32_t IDS_PHASE_READING = 34265;
constexpr uint32_t IDS_PHASE_FIRMWARE = 34266; // "%s": the block being sent, "%t": the count of blocks
constexpr uint32_t IDS_PHASE_VERSION = 34267;
// A key pressed while capturing that the key does not take.
constexpr uint32_t IDS_KEY_FULL = 34268; // "%s": the codes the key holds at most
constexpr uint32_t IDS_KEY_NOT_TAKEN = 34269;
constexpr uint32_t IDS_SELECT_KEYBOARD_PROMPT = 34275; // above the type list of a new project
constexpr uint32_t IDS_STATUS_PICK_LAYOUT = 34276;     // the status bar on the Configuration tab
constexpr uint32_t IDS_MSG_GUIDE_MISSING = 34277;      // "%s": where the guide is installed
constexpr uint32_t IDS_MSG_GUIDE_NOT_SHOWN = 34278;    // "%s": the guide's path
// Configuration > Language: the installed translations.
constexpr uint32_t IDS_MENU_LANGUAGE = 34279;
constexpr uint32_t IDS_LANGUAGE_DESKTOP = 34280;
constexpr uint32_t IDS_MSG_LANGUAGE_NEXT_START = 34281;
// After the conversion question: what this project would lose.
constexpr uint32_t IDS_LOSS_HEADING = 34270;
constexpr uint32_t IDS_LOSS_LAYOUTS = 34271;      // "%s" of "%t" layouts
constexpr uint32_t IDS_LOSS_KEYS_CUT = 34272;     // "%s" keys, "%t": the codes a key keeps
constexpr uint32_t IDS_LOSS_KEYS_CLEARED = 34273; // "%s" keys
constexpr uint32_t IDS_LOSS_CODES = 34274;        // "%s" codes
// Keyboard > Program all connected keyboards: several keyboards at once, a row each.
constexpr uint32_t IDS_MENU_PROGRAM_ALL = 34300;
constexpr uint32_t IDS_PROGRAM_ALL_TITLE = 34301;
constexpr uint32_t IDS_PROGRAM_ALL_KEYBOARD = 34302;
constexpr uint32_t IDS_PROGRAM_ALL_TYPE = 34303;
constexpr uint32_t IDS_PROGRAM_ALL_PROGRESS = 34304;
constexpr uint32_t IDS_PROGRAM_ALL_RESULT = 34305;
constexpr uint32_t IDS_PROGRAM_ALL_START = 34306;
constexpr uint32_t IDS_PROGRAM_ALL_SAVE_REPORT = 34307;
constexpr uint32_t IDS_PROGRAM_ALL_CLOSE = 34308;
constexpr uint32_t IDS_PROGRAM_ALL_OK = 34309;
constexpr uint32_t IDS_PROGRAM_ALL_NOT_VERIFIABLE = 34310;
constexpr uint32_t IDS_PROGRAM_ALL_NONE = 34311;
constexpr uint32_t IDS_PROGRAM_ALL_WAITING = 34312;
constexpr uint32_t IDS_FILTER_REPORT_JSON = 34313;
constexpr uint32_t IDS_FILTER_REPORT_CSV = 34314;
// Comparing the project with a file or the keyboard.
constexpr uint32_t IDS_MENU_COMPARE_FILE = 34320;
constexpr uint32_t IDS_MENU_COMPARE_KEYBOARD = 34321;
constexpr uint32_t IDS_MENU_CLOSE_COMPARISON = 34322;
constexpr uint32_t IDS_MENU_TAKE_OTHER_KEY = 34323;
constexpr uint32_t IDS_COMPARE_WITH_FILE = 34324; // "%s": the file's name
constexpr uint32_t IDS_COMPARE_WITH_KEYBOARD = 34325;
constexpr uint32_t IDS_COMPARE_SAME = 34326;
constexpr uint32_t IDS_COMPARE_KEY_DIFFERS = 34327;
constexpr uint32_t IDS_COMPARE_KEYS_DIFFER = 34328;
constexpr uint32_t IDS_COMPARE_OPTION = 34329;
constexpr uint32_t IDS_COMPARE_OPTIONS = 34330;
constexpr uint32_t IDS_COMPARE_OPTION_LINE = 34331; // "%n": the option, "%s" and "%t": its values
constexpr uint32_t IDS_COMPARE_LAYOUT_HERE = 34332; // "%s": the layout's name
constexpr uint32_t IDS_COMPARE_LAYOUT_THERE = 34333;
constexpr uint32_t IDS_MARK_SAME = 34334;
constexpr uint32_t IDS_MARK_CHANGED = 34335;
constexpr uint32_t IDS_MARK_ONLY_HERE = 34336;
constexpr uint32_t IDS_MARK_ONLY_THERE = 34337;
constexpr uint32_t IDS_COMPARE_THERE_CODES = 34338; // "%s": the other side's codes
constexpr uint32_t IDS_COMPARE_THERE_MODE = 34339;
constexpr uint32_t IDS_COMPARE_THERE_TYPE = 34340;
constexpr uint32_t IDS_COMPARE_THERE_NAME = 34341;
constexpr uint32_t IDS_COMPARE_THERE_EMPTY = 34342;
constexpr uint32_t IDS_COMPARE_THERE_NO_LAYOUT = 34343;
constexpr uint32_t IDS_MSG_COMPARE_FAMILIES = 34344;
// The key code palette: its groups in KeyCodeGroup order, then the palette itself.
constexpr uint32_t IDS_CODE_GROUP_TYPING = 34350;
constexpr uint32_t IDS_CODE_GROUP_FUNCTION = 34351;
constexpr uint32_t IDS_CODE_GROUP_NAVIGATION = 34352;
constexpr uint32_t IDS_CODE_GROUP_KEYPAD = 34353;
constexpr uint32_t IDS_CODE_GROUP_MODIFIERS = 34354;
constexpr uint32_t IDS_CODE_GROUP_SYSTEM = 34355;
constexpr uint32_t IDS_CODE_GROUP_INTERNATIONAL = 34356;
constexpr uint32_t IDS_CODE_GROUP_PREFIXES = 34357;
constexpr uint32_t IDS_MENU_KEY_CODES = 34358;
constexpr uint32_t IDS_KEY_CODES_CAPTION = 34359;
constexpr uint32_t IDS_KEY_CODES_SEARCH = 34360; // the search box's placeholder
constexpr uint32_t IDS_KEY_CODES_HINT = 34361;
// Why the key being edited does not take a palette entry.
constexpr uint32_t IDS_CODE_REFUSED_NO_KEY = 34362;
constexpr uint32_t IDS_CODE_REFUSED_SWITCH = 34363;
constexpr uint32_t IDS_CODE_REFUSED_MODIFIERS_ONLY = 34364;
constexpr uint32_t IDS_CODE_REFUSED_TWICE = 34365;
constexpr uint32_t IDS_CODE_REFUSED_RELEASE_FIRST = 34366;
constexpr uint32_t IDS_CODE_REFUSED_NOT_STORED = 34367;
// Finding keys by name or code.
constexpr uint32_t IDS_MENU_FIND_KEY = 34370;
constexpr uint32_t IDS_MENU_FIND_NEXT = 34371;
constexpr uint32_t IDS_MENU_FIND_PREVIOUS = 34372;
constexpr uint32_t IDS_FIND_KEY_CAPTION = 34373;
constexpr uint32_t IDS_FIND_KEY_PROMPT = 34374;
constexpr uint32_t IDS_FIND_NOT_FOUND = 34375; // "%s": what was looked for
constexpr uint32_t IDS_FIND_MATCH = 34376;     // "%s" of "%t" matches, "%n": the key's name
// The typing test of the programmed keyboard.
constexpr uint32_t IDS_MENU_TEST_KEYS = 34380;
constexpr uint32_t IDS_TEST_KEYS_CAPTION = 34381;
constexpr uint32_t IDS_TEST_KEYS_HINT = 34382;
constexpr uint32_t IDS_TEST_KEYS_COUNT = 34383;    // "%s" of "%t" keys
constexpr uint32_t IDS_TEST_UNKNOWN_BURST = 34384; // "%s": the codes received
constexpr uint32_t IDS_TEST_OTHER_LAYOUT = 34385;  // "%n": the key's name, "%s": the layout's name
constexpr uint32_t IDS_TEST_RESTART = 34386;
constexpr uint32_t IDS_TEST_LAYOUT = 34387;
// File > Print legends and Print layout report, and their routes for scripts.
constexpr uint32_t IDS_MENU_PRINT_LEGENDS = 34400;
constexpr uint32_t IDS_MENU_PRINT_REPORT = 34401;
constexpr uint32_t IDS_LEGENDS_CAPTION = 34402;
constexpr uint32_t IDS_LEGENDS_INSERT = 34403;
constexpr uint32_t IDS_LEGENDS_CUSTOM = 34404;
constexpr uint32_t IDS_LEGENDS_PITCH = 34405;
constexpr uint32_t IDS_LEGENDS_PAGE = 34406;
constexpr uint32_t IDS_LEGENDS_MARGINS = 34407;
constexpr uint32_t IDS_LEGENDS_MODE = 34408;
constexpr uint32_t IDS_LEGENDS_MODE_PACKED = 34409;
constexpr uint32_t IDS_LEGENDS_MODE_KEYBOARD = 34410;
constexpr uint32_t IDS_LEGENDS_KEYS = 34411;
constexpr uint32_t IDS_LEGENDS_KEYS_LAYOUT = 34412;
constexpr uint32_t IDS_LEGENDS_KEYS_ALL = 34413;
constexpr uint32_t IDS_LEGENDS_KEYS_SELECTED = 34414;
constexpr uint32_t IDS_LEGENDS_RULER = 34415;
constexpr uint32_t IDS_LEGENDS_MIN_SIZE = 34416;
constexpr uint32_t IDS_LEGENDS_PREVIEW = 34417;
constexpr uint32_t IDS_LEGENDS_EXPORT = 34418;
constexpr uint32_t IDS_LEGENDS_HINT = 34419;
constexpr uint32_t IDS_LEGENDS_NOT_FITTING = 34420; // "%s": the smallest size
constexpr uint32_t IDS_LEGENDS_SUMMARY = 34421;     // "%s" legends, "%t" pages
constexpr uint32_t IDS_LEGENDS_NONE = 34422;
constexpr uint32_t IDS_FILTER_PDF = 34423;
constexpr uint32_t IDS_FILTER_SVG = 34424;
constexpr uint32_t IDS_FILTER_PNG = 34425;
constexpr uint32_t IDS_MSG_EXPORT_FAILED = 34426; // "%s": the file
constexpr uint32_t IDS_EXPORT_USAGE = 34427;
constexpr uint32_t IDS_EXPORT_SVG_UNAVAILABLE = 34428;
constexpr uint32_t IDS_EXPORT_BAD_ARGUMENT = 34429; // "%s": the argument at fault
constexpr uint32_t IDS_EXPORT_BAD_LAYOUT = 34430;
constexpr uint32_t IDS_LEGENDS_PAGE_CAPTION =
    34431; // at the top of a sheet: "%n" the project, "%s" and "%t" the page
constexpr uint32_t IDS_LEGENDS_TOO_LARGE = 34432;
constexpr uint32_t IDS_LEGENDS_BAD_SETUP = 34433;
constexpr uint32_t IDS_PAGE_A4 = 34434;
constexpr uint32_t IDS_PAGE_LETTER = 34435;
constexpr uint32_t IDS_PAGE_CUSTOM = 34436;
constexpr uint32_t IDS_REPORT_CAPTION = 34437;
constexpr uint32_t IDS_REPORT_NOTES = 34438;
constexpr uint32_t IDS_REPORT_TITLE = 34439;
constexpr uint32_t IDS_REPORT_FILE = 34440;
constexpr uint32_t IDS_REPORT_SIGNATURE = 34441;
constexpr uint32_t IDS_REPORT_DATE = 34442;
constexpr uint32_t IDS_REPORT_KEYBOARD = 34443;
constexpr uint32_t IDS_REPORT_NUMBER = 34444;
constexpr uint32_t IDS_REPORT_NAME = 34445;
constexpr uint32_t IDS_REPORT_MODE = 34446;
constexpr uint32_t IDS_REPORT_KEY_TYPE = 34447;
constexpr uint32_t IDS_REPORT_SHAPE = 34448;
constexpr uint32_t IDS_REPORT_CODES = 34449;
constexpr uint32_t IDS_REPORT_OPTIONS = 34450;
constexpr uint32_t IDS_REPORT_SHAPE_SINGLE = 34451;
constexpr uint32_t IDS_REPORT_SHAPE_WIDE = 34452;
constexpr uint32_t IDS_REPORT_SHAPE_HIGH = 34453;
constexpr uint32_t IDS_REPORT_SHAPE_QUAD = 34454;
constexpr uint32_t IDS_REPORT_NO_KEYS = 34455;
constexpr uint32_t IDS_REPORT_YES = 34456;
constexpr uint32_t IDS_REPORT_NO = 34457;
constexpr uint32_t IDS_REPORT_NOTES_HEADING = 34458;
constexpr uint32_t IDS_REPORT_NEW_PROJECT = 34459; // the report's file line of a project never saved
constexpr uint32_t IDS_LEGENDS_RULER_LABEL = 34460;
constexpr uint32_t IDS_START_HELP_EXPORT = 34461;
constexpr uint32_t IDS_REPORT_EXPORT = 34463;
constexpr uint32_t IDS_LEGENDS_MM = 34464; // the unit after millimetre fields
constexpr uint32_t IDS_LEGENDS_PT = 34465; // the unit after point-size fields
constexpr uint32_t IDS_EXPORT_USAGE_MORE = 34467;
constexpr uint32_t IDS_EXPORT_USAGE_REPORT = 34468;
constexpr uint32_t IDS_START_HELP_EXPORT_MORE = 34469;
constexpr uint32_t IDS_START_HELP_EXPORT_REPORT = 34470;
