// What the page's test and benchmark read of the page, injected by them (evaluateOnNewDocument) ahead of
// the page's own scripts, which never see it: how the run stands (loading, running, waiting for a
// line, ended with `status`, stopped by a trap of the module, or failed: no module, so no run can
// start), the program's output this run, and what is typed and not handed over yet.
// It reads the wiring's `session` (web/listmenu.js) when asked, once the page has made it.
'use strict';

window.listmenu = {
    get state() {
        if (typeof session === 'undefined') {
            return 'loading';  // the page's scripts have not run yet
        }
        if (session.failed) {
            return 'failed';
        }
        return session.run.state;  // the wiring starts its first run as its scripts run
    },
    get status() {
        return session.run.status ?? null;
    },
    get waits() {
        return session.run.waits ?? 0;
    },
    get output() {
        return session.run.written ?? '';
    },
    get unread() {
        return session.input.queue.map((l) => l.text).join('') + session.input.line;
    },
    // Resolves once what has been written is on the screen.
    async settled() {
        await terminal.drained();
        await new Promise(requestAnimationFrame);
    },
};
