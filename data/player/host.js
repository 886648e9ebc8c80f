"use strict";
// The page side of the program's embedded player (TRufflePlayer). The program
// calls pictovaLoad, pictovaPlay and pictovaPause; the page answers with
// console lines "pictova:" + JSON, which the program reads.
(function () {
  const prefix = "pictova:";
  const controllerCommand = "pictovaFrame";
  const movieVariable = "pictovaMovie";

  const log = console.log.bind(console);
  function report(message) {
    log(prefix + JSON.stringify(message));
  }

  let player = null;
  let panicked = false;
  let shownId = 0;      // the load whose frames the controller reports
  let latestId = 0;     // the newest load asked for
  let movieUrl = null;  // the blob URL the controller reads level 1 from
  let lastFrame = "";
  let work = Promise.resolve();

  // After a panic Ruffle's WebAssembly module refuses all further work, in
  // every player of the page: the program loads the page anew.
  function watchPanics(name) {
    const original = console[name].bind(console);
    console[name] = function (...args) {
      original(...args);
      const text = args.map(String).join(" ");
      if (!panicked && text.includes("panicked")) {
        panicked = true;
        report({ event: "panic", id: shownId, message: text.slice(0, 500) });
      }
    };
  }
  watchPanics("error");
  watchPanics("warn");

  function decode(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  function onFSCommand(command, args) {
    if (command !== controllerCommand || args === lastFrame) return;
    const parts = String(args).split(" ");
    const current = Number(parts[0]);
    const total = Number(parts[1]);
    if (parts[2] !== movieUrl || !(current >= 1 && current <= total)) return;
    lastFrame = args;
    report({ event: "frame", id: shownId, current, total });
  }

  function makePlayer() {
    player = window.RufflePlayer.newest().createPlayer();
    player.id = "player";
    document.body.appendChild(player);
    // A paused Ruffle draws a big play button; a stopped preview shows its frame.
    const style = document.createElement("style");
    style.textContent = "#play-button { display: none !important; }";
    player.shadowRoot.appendChild(style);
    player.ruffle().addFSCommandHandler(onFSCommand);
  }

  async function load(id, controller, movie, options) {
    // Skipped when a newer movie waits, and after a panic.
    if (id !== latestId || panicked) return;
    if (!player) makePlayer();
    if (movieUrl) URL.revokeObjectURL(movieUrl);
    movieUrl = URL.createObjectURL(new Blob([decode(movie)], { type: "application/x-shockwave-flash" }));
    shownId = id;
    lastFrame = "";
    await player.ruffle().load({
      data: decode(controller).buffer,
      parameters: { [movieVariable]: movieUrl },
      allowScriptAccess: true,
      autoplay: "on",
      unmuteOverlay: "hidden",
      splashScreen: false,
      contextMenu: options.contextMenu ? "on" : "off",
      menu: options.contextMenu,
      scale: "showAll",
      quality: "high",
      // Around the stage the movie's background shows, as in Flash's show-all.
      letterbox: "off",
      allowFullscreen: false,
      warnOnUnsupportedContent: false,
      showSwfDownload: false,
      logLevel: "warn",
    });
  }

  function queue(step) {
    work = work.then(step).catch((error) => {
      if (panicked) return; // reported already
      report({ event: "error", id: shownId, message: String(error && error.message || error) });
    });
  }

  window.pictovaLoad = function (id, controller, movie, options) {
    latestId = id;
    queue(() => load(id, controller, movie, options));
  };
  window.pictovaPlay = function () {
    queue(() => { if (player && !panicked) player.ruffle().resume(); });
  };
  window.pictovaPause = function () {
    queue(() => { if (player && !panicked) player.ruffle().suspend(); });
  };

  // A one-frame movie of an empty stage: loading it at start-up compiles
  // Ruffle's WebAssembly, which is most of Ruffle's start-up time, before
  // the program has a movie to show.
  const warmUpMovie = new Uint8Array([
    0x46, 0x57, 0x53, 0x06, 0x16, 0x00, 0x00, 0x00, // FWS, version 6, 22 bytes
    0x00,                                           // frame size: 0 bits a field
    0x00, 0x0C, 0x01, 0x00,                         // 12 frames a second, 1 frame
    0x43, 0x02, 0x00, 0x00, 0x00,                   // SetBackgroundColor black
    0x40, 0x00,                                     // ShowFrame
    0x00, 0x00,                                     // End
  ]);

  window.addEventListener("load", () => {
    if (!window.RufflePlayer || !window.RufflePlayer.newest) {
      report({ event: "error", id: 0, message: "ruffle.js did not load" });
      return;
    }
    queue(async () => {
      makePlayer();
      await player.ruffle().load({
        data: warmUpMovie.buffer,
        autoplay: "on",
        unmuteOverlay: "hidden",
        splashScreen: false,
        contextMenu: "off",
        logLevel: "warn",
      });
      report({ event: "ready" });
    });
  });
})();
