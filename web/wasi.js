// The few WASI functions the program imports, over a terminal: standard input, output and error
// are a character device, reads come from `io.read` and writes go to `io.write`. Everything that
// WASI says in memory (iovecs, counts, stat records) is read and written here.
'use strict';

const wasi = (() => {
    const errno = { success: 0, badf: 8, nosys: 52, spipe: 70 };
    const characterDevice = 2;
    // fd_read, fd_write and fd_fdstat_set_flags; not fd_seek or fd_tell, so isatty() says yes.
    const terminalRights = 2n | 64n | 8n;

    // Thrown by proc_exit: the run is over with `status`.
    class Exit {
        constructor(status) {
            this.status = status;
        }
    }

    // A view of the memory `memory()` gives, made again only once the memory has grown.
    function viewer(memory) {
        let seen = null;
        return () => (seen?.buffer === memory().buffer ? seen : (seen = new DataView(memory().buffer)));
    }

    // io: memory() gives the module's memory; read(room) gives at most `room` bytes (none at the
    // end of the input), or null when the module is paused until there are some; write(text).
    function imports(io) {
        const view = viewer(io.memory);
        function iovecs(iovs, count) {
            const v = view();
            const buffers = [];
            for (let i = 0; i < count; i++) {
                buffers.push({ at: v.getUint32(iovs + 8 * i, true), length: v.getUint32(iovs + 8 * i + 4, true) });
            }
            return buffers;
        }
        const decoder = new TextDecoder();
        return {
            fd_read(fd, iovs, count, read) {
                if (fd !== 0) {
                    return errno.badf;
                }
                const buffers = iovecs(iovs, count);
                const bytes = io.read(buffers.reduce((sum, b) => sum + b.length, 0));
                if (bytes === null) {
                    return errno.success;  // the module unwinds; this call is made again
                }
                let moved = 0;
                for (const b of buffers) {
                    const chunk = bytes.subarray(moved, moved + b.length);
                    new Uint8Array(io.memory().buffer, b.at, chunk.length).set(chunk);
                    moved += chunk.length;
                }
                view().setUint32(read, moved, true);  // 0 at the end of the input
                return errno.success;
            },
            fd_write(fd, iovs, count, written) {
                if (fd !== 1 && fd !== 2) {
                    return errno.badf;
                }
                let moved = 0;
                for (const b of iovecs(iovs, count)) {
                    io.write(decoder.decode(new Uint8Array(io.memory().buffer, b.at, b.length), { stream: true }));
                    moved += b.length;
                }
                view().setUint32(written, moved, true);
                return errno.success;
            },
            // Standard input, output and error are a terminal's.
            fd_fdstat_get(fd, stat) {
                if (fd > 2) {
                    return errno.badf;
                }
                new Uint8Array(io.memory().buffer, stat, 24).fill(0);
                view().setUint8(stat, characterDevice);
                view().setBigUint64(stat + 8, terminalRights, true);
                return errno.success;
            },
            fd_filestat_get(fd, stat) {
                if (fd > 2) {
                    return errno.badf;
                }
                new Uint8Array(io.memory().buffer, stat, 64).fill(0);
                view().setUint8(stat + 16, characterDevice);
                return errno.success;
            },
            fd_fdstat_set_flags: () => errno.success,  // reads wait for a line whatever the flags say
            fd_seek: () => errno.spipe,
            fd_close: () => errno.success,
            poll_oneoff: () => errno.nosys,  // never reached: fd_read waits by itself
            proc_exit(status) {
                throw new Exit(status);
            },
        };
    }

    return { imports, viewer, Exit };
})();
