// A link whose fragment holds typed lines (index.html#1%205%0A2%0A) replays them as the page opens,
// a step each, so that a list's state can be shared; "Copy link" makes such a link of a run's lines.
'use strict';

const link = (() => {
    const shown = document.getElementById('link');

    // Queues the fragment's lines on `input` (web/lines.js); false when they cannot be read.
    function replay(input) {
        try {
            lines.queue(input, decodeURIComponent(window.location.hash.slice(1)));
            return true;
        } catch {
            return false;
        }
    }

    // The button copies a link to the lines `typed()` gives, and shows it; `tell` says how it went.
    function copier(typed, tell) {
        document.getElementById('copy-link').addEventListener('click', async () => {
            // The address itself, since a page opened from a file has the origin "null" in Firefox.
            const href = `${window.location.href.replace(/[?#].*$/, '')}#${encodeURIComponent(typed())}`;
            shown.href = href;
            shown.textContent = href;
            shown.hidden = false;
            try {
                await navigator.clipboard.writeText(href);
                tell('A link that replays this run is copied, and shown below the button.');
            } catch {
                tell('The link that replays this run is below the button, to copy.');
            }
        });
    }

    return { replay, copier };
})();
