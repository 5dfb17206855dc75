#!/usr/bin/env python3
"""Writes the short video clips the media tests play, one per format people's videos come in,
with the host's ffmpeg, and beside them clips.txt: for every clip, what a player shows of it.

    tools/make-test-clips.py OUTPUT-FOLDER

Every clip shows the same picture for its whole length, but for a faint noise: four flat
quadrants of four colours, so that one look at each quadrant tells whether a frame is shown
the right way up. The player's view is the host's ffmpeg decoding the first frame with its
display rotation applied; the frame counts are ffprobe's. A line of clips.txt:

    name width height frames decoded tl tr bl br

width and height as displayed; frames as the file says (its frame count, or its duration at
its frame rate where the container keeps no count) and as a decoder gets them; the four
colours (RRGGBB) at the middle of each quadrant of the displayed first frame: top left, top
right, bottom left, bottom right.
"""
import os
import subprocess
import sys

QUADRANTS = ("D03030", "30C030", "3040D0", "D0C030")  # top left, top right, bottom left, bottom right

# name, picture size, ffmpeg output arguments; rotate: the display rotation stream-copied in after.
X264 = ["-c:v", "libx264", "-pix_fmt", "yuv420p", "-preset", "veryfast"]
X265 = ["-c:v", "libx265", "-tag:v", "hvc1", "-x265-params", "log-level=error"]
CLIPS = [
    ("xvid.avi", (160, 96), ["-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "3"]),
    ("h264.mp4", (160, 96), X264),
    ("h264.mov", (160, 96), X264),
    ("mjpeg.avi", (160, 96), ["-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p"]),
    ("cinepak.avi", (160, 96), ["-c:v", "cinepak"]),
    ("divx3.avi", (160, 96), ["-c:v", "msmpeg4", "-q:v", "3"]),
    ("msmpeg4v2.avi", (160, 96), ["-c:v", "msmpeg4v2", "-q:v", "3"]),
    ("hevc.mp4", (160, 96), X265 + ["-pix_fmt", "yuv420p"]),
    ("hevc.mov", (160, 96), X265 + ["-pix_fmt", "yuv420p"]),
    ("hevc10.mp4", (160, 96), X265 + ["-pix_fmt", "yuv420p10le"]),
    ("h264.mkv", (160, 96), X264),
    ("vp9.webm", (160, 96), ["-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-b:v", "400k"]),
    ("vp8.webm", (160, 96), ["-c:v", "libvpx", "-deadline", "realtime", "-cpu-used", "8", "-b:v", "400k"]),
    ("av1.mp4", (160, 96), ["-c:v", "libaom-av1", "-cpu-used", "8", "-pix_fmt", "yuv420p"]),
    ("mpeg2.mpg", (160, 96), ["-c:v", "mpeg2video", "-q:v", "3", "-f", "mpeg"]),
    ("mpeg1.mpg", (160, 96), ["-c:v", "mpeg1video", "-q:v", "3", "-f", "mpeg"]),
    ("mpeg2.ts", (160, 96), ["-c:v", "mpeg2video", "-q:v", "3", "-f", "mpegts"]),
    # A key frame every third of a second, as broadcasters and camcorders write streams.
    ("h264.m2ts", (160, 96), X264 + ["-g", "10", "-f", "mpegts", "-mpegts_m2ts_mode", "1"]),
    ("wmv2.wmv", (160, 96), ["-c:v", "wmv2", "-q:v", "3"]),
    ("wmv1.wmv", (160, 96), ["-c:v", "wmv1", "-q:v", "3"]),
    ("theora.ogv", (160, 96), ["-c:v", "libtheora", "-q:v", "8"]),
    ("prores.mov", (160, 96), ["-c:v", "prores_ks", "-profile:v", "0"]),
    ("dnxhr.mov", (256, 128), ["-c:v", "dnxhd", "-profile:v", "dnxhr_lb", "-pix_fmt", "yuv422p"]),
    ("raw.avi", (160, 96), ["-c:v", "rawvideo", "-pix_fmt", "bgr24"]),
    ("sorenson.flv", (160, 96), ["-c:v", "flv", "-q:v", "3"]),
    ("h264.flv", (160, 96), X264),
    ("h263.3gp", (176, 144), ["-c:v", "h263", "-q:v", "3"]),
    # A phone's portrait videos: the picture recorded sideways, turned by the display matrix.
    ("h264-rot90.mp4", (160, 96), X264, 90),
    ("h264-rot180.mp4", (160, 96), X264, 180),
    ("h264-rot270.mp4", (160, 96), X264, 270),
    ("hevc-rot90.mov", (160, 96), X265 + ["-pix_fmt", "yuv420p"], 90),
    ("h264-rot90-large.mp4", (640, 360), X264, 90),
]
FRAMES = 30
RATE = 30


def run(args, **kwargs):
    return subprocess.run(args, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs).stdout


def pattern(size):
    w, h = size
    half_w, half_h = w // 2, h // 2
    boxes = [(0, 0), (half_w, 0), (0, half_h), (half_w, half_h)]
    draw = ",".join(f"drawbox=x={x}:y={y}:w={half_w}:h={half_h}:color=0x{c}:t=fill"
                    for (x, y), c in zip(boxes, QUADRANTS))
    # A little noise that changes every frame: an encoder sends no frame as a repeat of the last.
    return ["-f", "lavfi", "-i", f"color=c=black:s={w}x{h}:r={RATE}", "-frames:v", str(FRAMES),
            "-vf", draw + ",noise=alls=4:allf=t"]


def write_clip(folder, name, size, codec, rotate=None):
    path = os.path.join(folder, name)
    unrotated = path + ".plain" + os.path.splitext(name)[1] if rotate is not None else path
    run(["ffmpeg", "-v", "error", "-y"] + pattern(size) + codec + [unrotated])
    if rotate is not None:
        run(["ffmpeg", "-v", "error", "-y", "-i", unrotated, "-c", "copy",
             "-metadata:s:v:0", f"rotate={rotate}", path])
        os.remove(unrotated)
    return path


def player_view(path):
    """The first frame as a player shows it: size and the colours of its four quadrants."""
    ppm = run(["ffmpeg", "-v", "error", "-i", path, "-frames:v", "1", "-f", "image2pipe", "-c:v", "ppm",
               "-pix_fmt", "rgb24", "-"])
    fields = ppm.split(maxsplit=4)
    w, h = int(fields[1]), int(fields[2])
    pixels = fields[4][-w * h * 3:]

    def colour(x, y):
        at = (y * w + x) * 3
        return "%02X%02X%02X" % tuple(pixels[at:at + 3])

    return w, h, [colour(w // 4 + dx, h // 4 + dy) for dy in (0, h // 2) for dx in (0, w // 2)]


def probe(path, entries, *options):
    out = run(["ffprobe", "-v", "error", "-select_streams", "v:0", *options, "-show_entries", entries,
               "-of", "default=nw=1", path]).decode()
    return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)


def frame_counts(path):
    """The frames the file says it holds, and the frames a decoder gets out of it. A container
    without a frame count says it through its duration at its frame rate."""
    said = probe(path, "stream=nb_frames,r_frame_rate:format=duration")
    decoded = int(probe(path, "stream=nb_read_frames", "-count_frames")["nb_read_frames"])
    if said.get("nb_frames", "N/A").isdigit():
        return int(said["nb_frames"]), decoded
    num, den = (int(n) for n in said["r_frame_rate"].split("/"))
    return int(float(said["duration"]) * num / den + 0.5), decoded


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    lines = []
    for clip in CLIPS:
        name, size, codec = clip[:3]
        path = write_clip(folder, name, size, codec, clip[3] if len(clip) > 3 else None)
        w, h, colours = player_view(path)
        said, decoded = frame_counts(path)
        lines.append(" ".join([name, str(w), str(h), str(said), str(decoded)] + colours))
    with open(os.path.join(folder, "clips.txt"), "w") as manifest:
        manifest.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
