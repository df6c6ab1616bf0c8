// Vornak: tells the running Vornak which application is in front, so the keyboard's profile can follow it.
// KWin sees every window on Wayland, where no other program may; Vornak loads this script through KWin's
// scripting interface. Plasma 6 names the signal windowActivated, Plasma 5 clientActivated.
const vornakService = "io.github.vornak.Vornak";
const vornakPath = "/io/github/vornak/Vornak";
const vornakInterface = "io.github.vornak.Vornak1";

function vornakReport(window) {
    if (!window) return;
    // resourceClass is the app id of a Wayland window and the WM_CLASS class of an X11 one.
    const app = String(window.resourceClass || window.desktopFileName || "");
    const title = String(window.caption || "");
    callDBus(vornakService, vornakPath, vornakInterface, "ActiveWindowChanged", app, title);
}

if (workspace.windowActivated) {
    workspace.windowActivated.connect(vornakReport);
} else {
    workspace.clientActivated.connect(vornakReport);
}
vornakReport(workspace.activeWindow || workspace.activeClient);
