#!/usr/bin/env bash
# Regenerates fuzz/corpus: one small valid file per format and sample code,
# made with SoX and scipy (the formats they know) and by hand (ILS, token,
# TRN, ADF, LST), then framed for each target's input layout.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3 # the system one, which has scipy and numpy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A short two-tone signal of 40 frames, the source of every SoX file.
sox -V1 -n -r 8000 -c 1 -b 16 src.wav synth 0.005 sine 440 sine 1000 remix 1 vol 0.5
sox -V1 -n -r 8000 -c 2 -b 16 src2.wav synth 0.005 sine 440 sine 1000
for enc in "-e unsigned -b 8" "-e signed -b 16" "-e signed -b 24" "-e signed -b 32" \
           "-e float -b 32" "-e float -b 64" "-e mu-law -b 8" "-e a-law -b 8"; do
  tag=$(echo "$enc" | awk '{print $2 $4}')
  sox -V1 src.wav $enc "wav_$tag.wav"
  sox -V1 src.wav $enc "au_$tag.au"
done
sox src2.wav -e signed -b 16 wav_stereo.wav
sox src2.wav -e signed -b 24 wav_ext24.wav  # written as the extensible format
sox src.wav -e signed -b 16 -c 3 wav_ext3.wav
sox src2.wav -e signed -b 16 au_stereo.au

"$py" - <<'PY'
import struct, numpy as np, scipy.io, scipy.io.wavfile as wf
t = np.arange(40)
x = np.sin(t / 3.0) * 0.5
for name, data in [("i16", (x * 32767).astype(np.int16)), ("u8", (x * 127 + 128).astype(np.uint8)),
                   ("i32", (x * 2**31).astype(np.int32)), ("f32", x.astype(np.float32)),
                   ("f64", x.astype(np.float64)), ("st", np.stack([x, -x], 1).astype(np.float32))]:
    wf.write(f"scipy_{name}.wav", 8000, data)
# MAT level 4: a signal in each precision, with and without the rate scalar.
for prec in [np.float64, np.float32, np.int32, np.int16, np.uint16, np.uint8]:
    v = (x * 100 + (128 if prec in (np.uint16, np.uint8) else 0)).astype(prec).reshape(1, -1)
    scipy.io.savemat(f"mat_{prec.__name__}.mat", {"rate": np.array([[8000.0]]), "sig": v}, format="4")
scipy.io.savemat("mat_col.mat", {"sig": (x * 100).reshape(-1, 1)}, format="4")

s16 = (x * 20000).astype("<i2").tobytes()
def ils(kind, data, channels=1, blocks=None):
    h = bytearray(512)
    struct.pack_into("<h", h, 10, blocks if blocks is not None else (len(data) // 2 + 255) // 256)
    struct.pack_into("<hhhhh", h, 116, channels, 0, 0, 8000, -32000)
    struct.pack_into("<h", h, 126, kind)
    return bytes(h) + data
open("plain.ils", "wb").write(ils(0, s16))
open("stereo.ils", "wb").write(ils(0, s16, 2))
# A token file: three tokens of 8 values in one data block, then the table.
table = bytearray(512); struct.pack_into("<hh", table, 0, 3, 8)
open("tokens.tok", "wb").write(ils(11111, s16[:48] + bytes(512 - 48), 1, 1) + bytes(table))
trn = bytearray(128); trn[0:4] = b"TRN\0"
struct.pack_into("<iiiihh", trn, 4, 40, 8000, 8000, 0, 0, 255)
open("plain.trn", "wb").write(bytes(trn) + (x * 127 + 128).astype(np.uint8).tobytes())
adf = bytearray(516); adf[0:8] = b"KOBU40\0\0"
struct.pack_into("<iHH", adf, 8, 40, 1, 16); struct.pack_into("<f", adf, 24, 8.0)
open("plain.adf", "wb").write(bytes(adf) + s16)
open("ints.lst", "w").write("; rate=8000\n" + "".join(f"{int(v * 1000)}\n" for v in x))
open("decimals.lst", "w").write("".join(f"{v:.6f}\n" for v in x) + "; rate=16000\n")
open("crlf.lst", "w").write("".join(f"  {i}, {v:.3e}\r\n" for i, v in enumerate(x)))
PY

out="$here/corpus"
rm -rf "$out"
mkdir -p "$out"/{probe,load,readers,headerless,tokens}
for f in *.wav *.au *.mat *.ils *.tok *.trn *.adf *.lst; do
  cp "$f" "$out/probe/$f"
  cp "$f" "$out/load/$f"
done
# readers: the first byte picks the reader (ils trn lst snd plain mat wav adf).
pick() { case "$1" in *.ils|*.tok) echo 0;; *.trn) echo 1;; *.lst) echo 2;; *.au) echo 3;;
                      *.mat) echo 5;; *.wav) echo 6;; *.adf) echo 7;; esac; }
for f in *.wav *.au *.mat *.ils *.tok *.trn *.adf *.lst; do
  { printf "\\x$(printf %02x "$(pick "$f")")"; cat "$f"; } > "$out/readers/$f"
done
{ printf '\x04'; cat wav_signed16.wav; } > "$out/readers/plain_of_wav"
# headerless: header, trailer and code as 32-bit little-endian, then a flags byte.
"$py" - "$out/headerless" <<'PY'
import struct, sys
raw = open("wav_signed16.wav", "rb").read()
for code in range(9):
    for flags in (0, 1, 2):
        open(f"{sys.argv[1]}/code{code}_f{flags}", "wb").write(struct.pack("<iiiB", 44, 4, code, flags) + raw)
PY
# tokens: the answer's length, the answer, the token file.
for answer in 1 3 ALL all 0 x; do
  { printf "\\x$(printf %02x ${#answer})%s" "$answer"; cat tokens.tok; } > "$out/tokens/answer_$answer"
done
ls "$out"/* | wc -l
