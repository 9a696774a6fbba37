// Decoding PNG pictures (the browser's screenshots: 8-bit RGB or RGBA; the capture's stills: also
// palettes of 1 to 8 bits; none interlaced) to RGB, and the
// suite's picture comparison (tests/support/picture.cpp): a pixel differs when its three channels
// together move by more than the threshold.
import zlib from 'node:zlib';

export function decodePng(buffer) {
  let offset = 8;
  let width = 0, height = 0, channels = 0, depth = 8, palette = null;
  const idat = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString('ascii', offset + 4, offset + 8);
    const data = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      depth = data[8];
      const paletted = data[9] === 3;
      if (data[12] !== 0 || !((data[9] === 2 || data[9] === 6) && depth === 8) && !paletted) {
        throw new Error('only 8-bit RGB, RGBA or paletted PNG without interlacing');
      }
      channels = data[9] === 6 ? 4 : data[9] === 2 ? 3 : 1;
    } else if (type === 'PLTE') {
      palette = data;
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    offset += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = Math.ceil((width * channels * depth) / 8);
  const step = Math.max(1, (channels * depth) / 8);  // bytes back to the pixel on the left
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= step ? pixels[y * stride + x - step] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= step && y > 0 ? pixels[(y - 1) * stride + x - step] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + x] = (line[x] + predictor) & 255;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const i = y * width + x;
      if (palette) {
        const bit = x * depth;
        const index = (pixels[y * stride + (bit >> 3)] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
        palette.copy(rgb, i * 3, index * 3, index * 3 + 3);
      } else {
        pixels.copy(rgb, i * 3, y * stride + x * channels, y * stride + x * channels + 3);
      }
    }
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
