#include "shell/MainMenu.h"

#include "base/MessageTable.h"

namespace plenvue {

namespace {
MenuNode Item(const char* name, const char* caption, int item, int command,
              const char* shortcut = "") {
    MenuNode n;
    n.name = name;
    n.caption = caption;
    n.item = item;
    n.command = command;
    n.shortcut = shortcut;
    return n;
}
MenuNode Sep(const char* name) {
    MenuNode n;
    n.name = name;
    n.separator = true;
    return n;
}
MenuNode Sub(const char* name, const char* caption, int item, int help, std::vector<MenuNode> kids) {
    MenuNode n = Item(name, caption, item, help);
    n.children = std::move(kids);
    return n;
}
MenuNode Checked(MenuNode n) {
    n.checked = true;
    return n;
}
MenuNode Hidden(MenuNode n) {
    n.hidden = true;
    return n;
}
}  // namespace

const std::vector<MenuNode>& MainMenuTree() {
    static const std::vector<MenuNode> tree = {
        Sub("mnuFile", "&File", 1101, kHelpFile,
            {Item("mnuOpen", "&Open", 1103, kCmdOpen, "Ctrl+O"),
             Item("mnuSave", "&Save", 1105, kCmdSave, "Ctrl+S"),
             Item("mnuSaveAs", "Save &As", 1107, kCmdSaveAs),
             Sep("mnuLineFile1"),
             // Copy To gets an item of its own (1109): sharing Move To's item would label both alike.
             Item("mnuFileOperator(0)", "&Copy To...", 1109, kCmdCopyTo, "Ctrl+Shift+C"),
             Item("mnuFileOperator(1)", "&Move To...", 1111, kCmdMoveTo, "Ctrl+M"),
             Item("mnuFileOperator(2)", "&Delete", 1113, kCmdDelete, "Del"),
             Sep("mnuLineFile3"),
             Item("mnuPrint", "&Print", 1115, kCmdPrint, "Ctrl+P"),
             Sep("mnuLineFile2"),
             Item("mnuExit", "E&xit", 1117, kCmdExit)}),
        Sub("mnuEdit", "&Edit", kItemMenuEdit, kHelpEdit,
            {Item("mnuEditUndo", "&Undo", kItemMenuEdit + 1, kCmdEditUndo, "Ctrl+Z"),
             Item("mnuRedo", "&Redo", kItemMenuEdit + 2, kCmdRedo, "Ctrl+Y"),
             Sep("mnuLineEdit1"),
             Item("mnuEditCopy", "&Copy", kItemMenuEdit + 3, kCmdEditCopy, "Ctrl+C"),
             Item("mnuEditPaste", "&Paste", kItemMenuEdit + 4, kCmdEditPaste, "Ctrl+V"),
             Item("mnuEditDelete", "&Delete", kItemMenuEdit + 5, kCmdEditDelete, "Del"),
             Sep("mnuLineEdit2"),
             Item("mnuSelectAll", "Select &All", kItemMenuEdit + 6, kCmdSelectAll, "Ctrl+A")}),
        Sub("mnuView", "&View", 1119, kHelpView,
            {Checked(Item("mnuToolBar", "&Tool Bar", 1121, kCmdToolBar)),
             Checked(Item("mnuStatusBar", "&Status Bar", 1123, kCmdStatusBar)),
             Sep("mnuLineView1"),
             Checked(Item("mnuHistory", "&History", 1125, kCmdHistory)),
             Item("mnuColor", "Main Window &Color", 1126, kCmdColor),
             Sep("mnuLineView2"),
             Item("mnuZoomFit", "&Fit to Window", kItemMenuZoom, kCmdZoomFit, "Ctrl+0"),
             Item("mnuZoomActual", "&Actual Size (100 %)", kItemMenuZoom + 1, kCmdZoomActual, "Ctrl+1"),
             Item("mnuZoomIn", "Zoom &In", kItemMenuZoom + 2, kCmdZoomIn, "Ctrl+Plus"),
             Item("mnuZoomOut", "Zoom &Out", kItemMenuZoom + 3, kCmdZoomOut, "Ctrl+Minus")}),
        Sub("mnuDraw", "&Draw", kItemMenuDraw, kHelpDraw,
            {Checked(Item("mnuTool(0)", "&Select", kItemMenuDraw + 1, kCmdToolFirst, "V")),
             Item("mnuTool(1)", "&Rectangle", kItemMenuDraw + 2, kCmdToolFirst + 1, "R"),
             Item("mnuTool(2)", "&Ellipse", kItemMenuDraw + 3, kCmdToolFirst + 2, "E"),
             Item("mnuTool(3)", "&Line", kItemMenuDraw + 4, kCmdToolFirst + 3, "L"),
             Item("mnuTool(4)", "&Arrow", kItemMenuDraw + 5, kCmdToolFirst + 4, "A"),
             Item("mnuTool(5)", "&Pen", kItemMenuDraw + 6, kCmdToolFirst + 5, "P"),
             Item("mnuTool(6)", "&Highlighter", kItemMenuDraw + 7, kCmdToolFirst + 6, "H"),
             Item("mnuTool(7)", "&Text", kItemMenuDraw + 8, kCmdToolFirst + 7, "T"),
             Item("mnuTool(8)", "&Number Step", kItemMenuDraw + 9, kCmdToolFirst + 8, "N"),
             Item("mnuTool(9)", "Re&dact", kItemMenuDraw + 10, kCmdToolFirst + 9, "X"),
             Item("mnuTool(10)", "&Crop", kItemMenuDraw + 11, kCmdToolFirst + 10, "C"),
             Sep("mnuLineDraw1"),
             Item("mnuStyleColour", "C&olor...", kItemMenuDraw + 12, kCmdStyleColour),
             Sub("mnuRecent", "Recent Colo&rs", kItemMenuDraw + 13, kHelpRecentColours,
                 {Item("mnuRecentColour(0)", "#000000", 0, kCmdRecentFirst),
                  Item("mnuRecentColour(1)", "#000000", 0, kCmdRecentFirst + 1),
                  Item("mnuRecentColour(2)", "#000000", 0, kCmdRecentFirst + 2),
                  Item("mnuRecentColour(3)", "#000000", 0, kCmdRecentFirst + 3),
                  Item("mnuRecentColour(4)", "#000000", 0, kCmdRecentFirst + 4),
                  Item("mnuRecentColour(5)", "#000000", 0, kCmdRecentFirst + 5),
                  Item("mnuRecentColour(6)", "#000000", 0, kCmdRecentFirst + 6),
                  Item("mnuRecentColour(7)", "#000000", 0, kCmdRecentFirst + 7)}),
             Sub("mnuWidth", "Line &Width", kItemMenuDraw + 14, kHelpLineWidth,
                 {Item("mnuWidth(0)", "&1 px", 0, kCmdWidthFirst),
                  Item("mnuWidth(1)", "&2 px", 0, kCmdWidthFirst + 1),
                  Item("mnuWidth(2)", "&3 px", 0, kCmdWidthFirst + 2),
                  Item("mnuWidth(3)", "&5 px", 0, kCmdWidthFirst + 3),
                  Item("mnuWidth(4)", "&8 px", 0, kCmdWidthFirst + 4),
                  Item("mnuWidth(5)", "1&2 px", 0, kCmdWidthFirst + 5)}),
             Item("mnuFill", "&Fill Shapes", kItemMenuDraw + 15, kCmdFill),
             Item("mnuFont", "&Font...", kItemMenuDraw + 16, kCmdFont),
             Item("mnuMosaic", "&Mosaic Redaction", kItemMenuDraw + 17, kCmdMosaic)}),
        Sub("mnuTools", "&Tools", 1127, kHelpTools,
            {Item("mnuCapture(0)", "Capture &Full Screen", 1129, 1861),
             Item("mnuCapture(1)", "Capture &Region", 1131, 1862),
             Item("mnuCapture(2)", "Capture &Active Window", 1133, 1863),
             Item("mnuCapture(3)", "Capture Act&ive Window Client", 1135, 1864),
             Item("mnuCapture(4)", "Capture &Windows", 1137, 1865),
             Item("mnuCapture(5)", "R&epeat Last Capturing", 1139, 1866),
             Sep("mnuLineTools1"),
             Item("mnuCMonitor", "Clipboard &Monitor", 1141, kCmdCMonitor),
             Item("mnuAutoSave", "Auto &Save", 1143, kCmdAutoSave),
             Item("mnuIncludeCursor", "Include &Cursor", 1145, kCmdIncludeCursor),
             Sep("mnuLineTools3"),
             Item("mnuClearClip", "C&lear Clipboard", 1147, kCmdClearClip),
             Item("mnuClearCanvas", "Clear Can&vas", 1149, kCmdClearCanvas),
             Sep("mnuLineTools4"),
             Item("mnuOption", "&Option", 1151, kCmdOption),
             // New entries stand at the end, so every entry above keeps its help string number.
             Sep("mnuLineTools5"),
             Item("mnuCopy", "&Copy", kItemMenuCopy, kCmdCopy, "Ctrl+C"),
             Item("mnuPaste", "&Paste", kItemMenuPaste, kCmdPaste, "Ctrl+V"),
             Sep("mnuLineTools6"),
             Sub("mnuDelay", "Capture &Delay", kItemMenuDelay, kHelpDelay,
                 {Item("mnuDelayTime(0)", "&No Delay", kItemMenuDelay + 1, kCmdDelayFirst),
                  Item("mnuDelayTime(1)", "&3 Seconds", kItemMenuDelay + 2, kCmdDelayFirst + 1),
                  Item("mnuDelayTime(2)", "&5 Seconds", kItemMenuDelay + 3, kCmdDelayFirst + 2),
                  Item("mnuDelayTime(3)", "1&0 Seconds", kItemMenuDelay + 4, kCmdDelayFirst + 3)})}),
        Sub("mnuImage", "&Image", 1153, kHelpImage,
            {Sub("mnuFilters", "&Filters", 1155, kHelpFilters,
                 {Item("mnuColorGlasses", "&Color Glasses...", 1157, kCmdColorGlasses),
                  Item("mnuNoise", "&Noise...", 1159, kCmdNoise),
                  Item("mnuEmboss", "&Emboss", 1161, kCmdEmboss),
                  Item("mnuSoften", "&Soften", 1163, kCmdSoften),
                  Item("mnuBlur", "&Blur", 1165, kCmdBlur),
                  Item("mnuSharpen", "S&harpen", 1167, kCmdSharpen),
                  Hidden(Item("mnuUnsharpen", "&Unsharpen", 0, kCmdUnsharpen)),
                  Item("mnuFade", "&Fade", 1169, kCmdFade),
                  Item("mnuLighten", "&Lighten", 1171, kCmdLighten)}),
             Item("mnuNegative", "&Negative Image", 1173, kCmdNegative),
             Item("mnuGrayScale", "&Gray Scale", 1175, kCmdGrayScale),
             Item("mnuBnW", "&Black and White", 1177, kCmdBnW),
             Sub("mnuMirrors", "&Mirror", 1179, kHelpMirrors,
                 {Item("mnuMirror(0)", "Filp&H", 1181, 1904),
                  Item("mnuMirror(1)", "Filp&V", 1183, 1905),
                  Item("mnuMirror(2)", "&FlipHV", 1185, 1906)}),
             Sub("mnuColorDepth", "&Color Depth", 1187, kHelpColorDepth,
                 {Item("mnuCD(0)", "2 Colors(1 bpp)", 1189, 1908, "Shift+F1"),
                  Item("mnuCD(1)", "16 Colors(4 bpp)", 1191, 1909, "Shift+F2"),
                  Item("mnuCD(2)", "256 Colors(8 bpp)", 1193, 1910, "Shift+F3"),
                  Item("mnuCD(3)", "&True Color(24 bpp)", 1195, 1911, "Shift+F4")}),
             Sep("mnuImageLine1"),
             Item("mnuUndo", "&Undo Filter", 1197, kCmdUndo, "Ctrl+Z")}),
        Sub("mnuHelp", "&Help", 1199, kHelpHelp,
            {Item("mnuContent", "&Content", 1201, kCmdContent, "F1"),
             Sep("mnuHelpLine2"),
             Item("mnuEmail", "E&mail for Support", 1207, kCmdEmail),
             Item("mnuHomepage", "Plenvue on the &Web", 1209, kCmdHomepage),
             Sep("mnuHelpLine1"),
             Item("mnuAbout", "&About", 1211, kCmdAbout)}),
    };
    return tree;
}

namespace {
void WalkHelp(const std::vector<MenuNode>& nodes, std::vector<int>& path, int base, int& k,
              std::vector<MenuHelpEntry>& out) {
    int pos = 0;
    for (const MenuNode& n : nodes) {
        if (n.hidden) continue;
        path.push_back(pos++);
        int number = base + ++k;
        if (!n.separator) {
            bool submenu = !n.children.empty();
            out.push_back({path, submenu, submenu ? 0 : n.command, number});
            if (submenu) WalkHelp(n.children, path, base, k, out);
        }
        path.pop_back();
    }
}
}  // namespace

std::vector<MenuHelpEntry> MenuHelpTable(const std::vector<MenuNode>& tree) {
    std::vector<MenuHelpEntry> out;
    int g = 0;
    for (const MenuNode& top : tree) {
        if (top.hidden) continue;
        int base = top.command;
        MenuHelpEntry title;
        title.Path = {g};
        title.Submenu = true;
        title.HelpNumber = base;
        out.push_back(title);
        std::vector<int> path = {g};
        int k = 0;
        WalkHelp(top.children, path, base, k, out);
        ++g;
    }
    return out;
}


}  // namespace plenvue
