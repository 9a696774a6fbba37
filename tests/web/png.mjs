// Pictures for the web tests: PNG files (the browser's screenshots, the capture's stills) decoded
// by pngjs to RGB, and the suite's picture comparison (tests/support/picture.cpp): a pixel
// differs when its three channels together move by more than the threshold.
import { PNG } from 'pngjs';

export function decodePng(buffer) {
  const { width, height, data } = PNG.sync.read(buffer);
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; ++i) {
    data.copy(rgb, 3 * i, 4 * i, 4 * i + 3);
  }
  return { width, height, rgb };
}

// The share of pixels whose channels together move by more than `threshold`.
export function differingShare(a, b, threshold = 0) {
  if (a.width !== b.width || a.height !== b.height) {
    return 1;
  }
  let differing = 0;
  for (let i = 0; i < a.width * a.height; ++i) {
    const d = Math.abs(a.rgb[3 * i] - b.rgb[3 * i]) + Math.abs(a.rgb[3 * i + 1] - b.rgb[3 * i + 1]) +
              Math.abs(a.rgb[3 * i + 2] - b.rgb[3 * i + 2]);
    if (d > threshold) {
      ++differing;
    }
  }
  return differing / (a.width * a.height);
}

// What a drawn frame of the show looks like, against the white a canvas is cleared to or the black
// of a lost context: a message for assert.ok when it is not one, '' when it is.
export function notADrawnFrame(shot) {
  let drawn = 0;
  const colours = new Set();
  for (let i = 0; i < shot.width * shot.height; ++i) {
    const colour = shot.rgb.readUIntBE(3 * i, 3);
    colours.add(colour);
    drawn += colour !== 0xffffff && colour !== 0 ? 1 : 0;
  }
  return drawn > 0.5 * shot.width * shot.height && colours.size >= 3
    ? '' : `${drawn} of ${shot.width * shot.height} pixels drawn, in ${colours.size} colours`;
}
