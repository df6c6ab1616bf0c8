// Vornak: tells the running Vornak which application is in front, so the keyboard's profile can follow it.
// GNOME Shell 45 and later (extensions are modules there). On Wayland only the shell sees every window;
// Vornak's session bus service takes the application id (the WM_CLASS of an X11 window) and the title.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const vornakService = 'io.github.vornak.Vornak';
const vornakPath = '/io/github/vornak/Vornak';
const vornakInterface = 'io.github.vornak.Vornak1';

function report() {
    const window = global.display.focus_window;
    if (!window) return;
    const app = window.get_wm_class() || window.get_gtk_application_id() || '';
    const title = window.get_title() || '';
    // No auto-start: with Vornak not running the call simply finds nobody.
    Gio.DBus.session.call(vornakService, vornakPath, vornakInterface, 'ActiveWindowChanged',
        new GLib.Variant('(ss)', [app, title]), null, Gio.DBusCallFlags.NO_AUTO_START, 1000, null, null);
}

export default class VornakFollow extends Extension {
    enable() {
        this._focus = global.display.connect('notify::focus-window', report);
        report();
    }

    disable() {
        global.display.disconnect(this._focus);
        this._focus = 0;
    }
}
