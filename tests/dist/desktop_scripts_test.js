// The KWin script and the GNOME Shell extensions run against stand-ins for KWin and GNOME Shell: each parses,
// and a window coming to the front makes the call of Vornak's service with the application and the title.
//   node tests/dist/desktop_scripts_test.js SOURCE_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');
const assert = require('assert');

const dist = path.join(process.argv[2], 'dist');
const service = ['io.github.vornak.Vornak', '/io/github/vornak/Vornak', 'io.github.vornak.Vornak1',
    'ActiveWindowChanged'];

function signal() {
    const handlers = [];
    return { connect: (f) => handlers.push(f), emit: (...a) => handlers.forEach((f) => f(...a)), handlers };
}

// KWin, Plasma 6 and Plasma 5 each with its own signal name.
for (const plasma of [6, 5]) {
    const calls = [];
    const activated = signal();
    const workspace = plasma === 6 ? { windowActivated: activated, activeWindow: null }
                                   : { clientActivated: activated, activeClient: null };
    const code = fs.readFileSync(path.join(dist, 'kwin/vornak-follow/contents/code/main.js'), 'utf8');
    vm.runInNewContext(code, { workspace, callDBus: (...a) => calls.push(a) });
    assert.strictEqual(activated.handlers.length, 1, `Plasma ${plasma}: one handler`);
    activated.emit({ resourceClass: 'firefox', desktopFileName: 'org.mozilla.firefox', caption: 'News' });
    activated.emit(null);
    assert.deepStrictEqual(calls, [[...service, 'firefox', 'News']], `Plasma ${plasma}`);
}
JSON.parse(fs.readFileSync(path.join(dist, 'kwin/vornak-follow/metadata.json'), 'utf8'));

// GNOME Shell: the shell's display, a focus window, and the session bus.
function gnome() {
    const calls = [];
    const handlers = {};
    let next = 1;
    const display = {
        focus_window: null,
        connect: (name, f) => { handlers[next] = [name, f]; return next++; },
        disconnect: (id) => { delete handlers[id]; },
        focus(window) {
            this.focus_window = window;
            Object.values(handlers).filter(([n]) => n === 'notify::focus-window').forEach(([, f]) => f());
        },
    };
    const Gio = {
        DBus: { session: { call: (...a) => calls.push(a) } },
        DBusCallFlags: { NO_AUTO_START: 1 },
    };
    class Variant {
        constructor(type, value) { this.type = type; this.value = value; }
    }
    const GLib = { Variant };
    return { calls, handlers, display, Gio, GLib };
}
function window(cls, title) {
    return { get_wm_class: () => cls, get_gtk_application_id: () => null, get_title: () => title };
}
function checkExtension(ext, g, version) {
    ext.enable();
    g.display.focus(window('org.gnome.Nautilus', 'Home'));
    ext.disable();
    g.display.focus(window('firefox', 'News'));  // after disable: nothing
    assert.strictEqual(Object.keys(g.handlers).length, 0, `GNOME ${version}: disconnected`);
    assert.strictEqual(g.calls.length, 1, `GNOME ${version}: one call`);
    const [name, objectPath, iface, method, params] = g.calls[0];
    assert.deepStrictEqual([name, objectPath, iface, method], service, `GNOME ${version}`);
    assert.strictEqual(params.type, '(ss)');
    assert.strictEqual(JSON.stringify(params.value), '["org.gnome.Nautilus","Home"]');
}

{
    const g = gnome();
    const code = fs.readFileSync(path.join(dist, 'gnome-shell/43/vornak-follow@vornak.github.io/extension.js'),
        'utf8');
    const context = { imports: { gi: { Gio: g.Gio, GLib: g.GLib } }, global: { display: g.display } };
    vm.runInNewContext(code + '\n;this.__init = init;', context);
    checkExtension(context.__init(), g, 43);
}

(async () => {
    const g = gnome();
    const code = fs.readFileSync(path.join(dist, 'gnome-shell/45/vornak-follow@vornak.github.io/extension.js'),
        'utf8');
    // The module's imports are given the stand-ins; the rest of the module runs as GNOME Shell would run it.
    class Extension {}
    const shim = code
        .replace("import Gio from 'gi://Gio';", 'const Gio = stand.Gio;')
        .replace("import GLib from 'gi://GLib';", 'const GLib = stand.GLib;')
        .replace(/import \{Extension\} from '[^']+';/, 'const Extension = stand.Extension;')
        .replace('export default class', 'stand.Default = class');
    assert.notStrictEqual(shim, code);
    assert.ok(!/\bimport\b|\bexport\b/.test(shim), 'GNOME 45: every import is given a stand-in');
    const stand = { Gio: g.Gio, GLib: g.GLib, Extension };
    vm.runInNewContext(shim, { stand, global: { display: g.display } });
    checkExtension(new stand.Default(), g, 45);
    for (const v of [43, 45]) {
        const meta = JSON.parse(fs.readFileSync(
            path.join(dist, `gnome-shell/${v}/vornak-follow@vornak.github.io/metadata.json`), 'utf8'));
        assert.strictEqual(meta.uuid, 'vornak-follow@vornak.github.io');
    }
    console.log('desktop scripts: KWin (Plasma 5 and 6), GNOME Shell 43 and 45 report the window in front');
})().catch((e) => { console.error(e); process.exit(1); });
