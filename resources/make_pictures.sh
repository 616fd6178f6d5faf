#!/usr/bin/env bash
# Remakes the program's pictures: the colour schemes (skins/), the windows' own background and
# top bar (resources/backdrops/), the card pictures (images/), the program icon
# (resources/icons/) and the button glyphs (resources/glyphs/).
#
#   resources/make_pictures.sh [skins|backdrops|images|icons|glyphs|twocell ...]   (default: all but twocell)
#
# twocell remakes only the two-cell glyphs from the glyphs already there (glyphs runs it too).
#
# Needs ImageMagick 6 (convert, composite) and, for the glyphs, tango-icon-theme.
# The output is deterministic for a given ImageMagick version (noise uses fixed seeds).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TANGO=/usr/share/icons/Tango
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Baseline JPEG, no metadata, 4:2:0.
jpeg_out() { # in out quality
    convert "$1" -strip -colorspace sRGB -type TrueColor -interlace none -sampling-factor 2x2 \
        -quality "${3:-90}" "JPEG:$2"
}

# --------------------------------------------------------------------------------------------
# Colour schemes: <name>1.jpg is the 500x300 background, <name>2.jpg the 500x60 top bar.
# --------------------------------------------------------------------------------------------

# texture KIND W H SEED STRENGTH OUT: a grey texture for soft-light blending, 50% grey being
# neutral; STRENGTH (percent) is how far it strays from that.
texture() {
    local kind=$1 w=$2 h=$3 seed=$4 strength=$5 out=$6
    case $kind in
    waves) # long soft horizontal waves
        convert -size "${w}x${h}" xc: -fx "0.5+0.5*sin((j+14*sin(i/70+j/90))/7.5)" \
            -blur 0x1.2 "$out.png" ;;
    linen) # woven cloth: crossed streaks of noise
        convert -seed "$seed" -size "${w}x${h}" xc:gray50 +noise Random -colorspace gray \
            \( -clone 0 -motion-blur 0x9+0 \) \( -clone 0 -motion-blur 0x9+90 \) -delete 0 \
            -compose blend -define compose:args=50 -composite -auto-level -blur 0x0.6 \
            -level 25%,75% "$out.png" ;;
    brushed) # brushed metal
        convert -seed "$seed" -size "$((w + 60))x${h}" xc:gray50 +noise Random -colorspace gray \
            -motion-blur 0x30+0 -auto-level -level 20%,80% -crop "${w}x${h}+30+0" +repage "$out.png" ;;
    bokeh) # a few large soft discs
        local draw="" i x y r
        RANDOM=$seed
        for i in $(seq 1 16); do
            x=$((RANDOM % w)); y=$((RANDOM % h)); r=$((12 + RANDOM % 40))
            draw+="fill gray$((62 + RANDOM % 14)) circle $x,$y $((x + r)),$y "
        done
        convert -size "${w}x${h}" xc:gray50 -draw "$draw" -blur 0x6 -auto-level "$out.png" ;;
    pinstripe) # fine diagonal stripes
        convert -size "${w}x${h}" xc: -fx "(mod(i+j,9)<1.5)?0.8:0.2" -blur 0x0.5 "$out.png" ;;
    leaves) # soft diagonal dapple
        convert -seed "$seed" -size "$((w / 4))x$((h / 4))" xc:gray50 +noise Random -colorspace gray \
            -blur 0x1.5 -auto-level -resize "${w}x${h}!" -motion-blur 0x12+35 -auto-level "$out.png" ;;
    esac
    convert "$out.png" -colorspace gray +level "$((50 - strength))%,$((50 + strength))%" "$out"
}

# scheme_pictures NAME BG_LIGHT BG_DARK GLOW BAR_LIGHT BAR_DARK TEXTURE SEED: draws a scheme's
# background and top bar into $TMP/NAME-back.png and $TMP/NAME-bar.png.
scheme_pictures() {
    local name=$1 light=$2 dark=$3 glow=$4 blight=$5 bdark=$6 tex=$7 seed=$8
    local t="$TMP/$name"

    # Background: diagonal gradient, a glow behind the picture, texture, soft vignette.
    texture "$tex" 500 300 "$seed" 9 "$t-tex.png"
    convert -size 500x300 -define gradient:angle=150 gradient:"$light-$dark" \
        \( -size 640x640 radial-gradient:"$glow-black" -resize 640x420! \) \
        -geometry -105-150 -compose screen -composite \
        \( "$t-tex.png" \) -compose softlight -composite \
        \( -size 700x700 radial-gradient:white-gray62 -resize 640x460! -gravity center \
        -crop 500x300+0+0 +repage \) -gravity northwest -compose multiply -composite \
        "$t-back.png"

    # Top bar: a stronger band of the same hues with a gloss over its upper half,
    # a highlight line at the top and a dark edge at the bottom.
    texture "$tex" 500 60 "$((seed + 1))" 6 "$t-bartex.png"
    convert -size 500x60 gradient:"$blight-$bdark" \
        "$t-bartex.png" -compose softlight -composite \
        \( -size 500x28 gradient:"rgba(255,255,255,0.12)-rgba(255,255,255,0.0)" \) \
        -geometry +0+1 -compose over -composite \
        -fill "rgba(255,255,255,0.35)" -draw "line 0,0 499,0" \
        -fill "rgba(0,0,0,0.55)" -draw "line 0,58 499,58" \
        -fill "rgba(0,0,0,0.80)" -draw "line 0,59 499,59" \
        "$t-bar.png"
}

# scheme NAME BG_LIGHT BG_DARK GLOW BAR_LIGHT BAR_DARK TEXTURE SEED
scheme() {
    scheme_pictures "$@"
    jpeg_out "$TMP/$1-back.png" "$ROOT/skins/${1}1.jpg" 90
    jpeg_out "$TMP/$1-bar.png" "$ROOT/skins/${1}2.jpg" 90
}

make_skins() {
    mkdir -p "$ROOT/skins"
    rm -f "$ROOT/skins/.gitkeep"
    #      name    bg light  bg dark   glow      bar light bar dark  texture    seed
    scheme azure   '#3f74a8' '#10294a' '#3a5f86' '#2d5f94' '#0b1f3c' waves      11
    scheme forest  '#3d7a5a' '#0f2f22' '#3b6a4a' '#2f6a4a' '#0b261a' leaves     23
    scheme plum    '#6e4a86' '#221433' '#5c3f73' '#5e3b78' '#1c0f2b' pinstripe  37
    scheme slate   '#5d6a78' '#1c232c' '#4d5966' '#4a5663' '#141a21' brushed    41
    scheme sunset  '#94522e' '#3a160f' '#8a4a2a' '#8a4424' '#2e100a' bokeh      53
    scheme wine    '#85303f' '#2a0c14' '#6f2a38' '#74232f' '#23070d' linen      67
}

# --------------------------------------------------------------------------------------------
# The windows' own background and top bar (resources/backdrops/), shown while no colour scheme
# is: a scheme of deep blue-greys, dark enough under every white or pale caption of the windows.
# --------------------------------------------------------------------------------------------

make_backdrops() {
    local d="$ROOT/resources/backdrops"
    mkdir -p "$d"
    scheme_pictures night '#2a3950' '#0a0e16' '#1f2b3d' '#33445c' '#0c121b' linen 79
    # JPEG as the schemes are: it decodes several times faster than PNG at every start.
    jpeg_out "$TMP/night-back.png" "$d/back.jpg" 90
    jpeg_out "$TMP/night-bar.png" "$d/top.jpg" 90
}

# --------------------------------------------------------------------------------------------
# Card pictures, 150x160: a drawn silhouette on a soft round-lit ground, drawn at twice the
# size and scaled down. The silhouette is drawn as a mask (white = shape, black = holes).
# --------------------------------------------------------------------------------------------

# clipart NAME GROUND_LIGHT GROUND_DARK SHAPE_TOP SHAPE_BOTTOM MASK_DRAW
clipart() {
    local name=$1 g1=$2 g2=$3 f1=$4 f2=$5 draw=$6
    local t="$TMP/clip-$name"
    convert -size 300x320 xc:black -stroke none -draw "$draw" "$t-mask.png"
    convert \( -size 460x460 radial-gradient:"$g1-$g2" -gravity center -crop 300x320+0-30 +repage \) \
        +gravity \
        \( -size 300x320 xc:black \( "$t-mask.png" -blur 0x7 -evaluate multiply 0.40 \) \
        -alpha off -compose copyopacity -composite \) -geometry +6+8 -compose over -composite \
        \( -size 300x320 gradient:"$f1-$f2" "$t-mask.png" -alpha off -compose copyopacity -composite \) \
        -geometry +0+0 -compose over -composite \
        -resize 150x160! "$t.png"
    jpeg_out "$t.png" "$ROOT/images/$name.jpg" 92
}

# star_points CX CY OUTER INNER: the corners of a five-pointed star, point up.
star_points() {
    awk -v cx="$1" -v cy="$2" -v ro="$3" -v ri="$4" 'BEGIN {
        pi = atan2(0, -1)
        for (k = 0; k < 10; k++) {
            r = (k % 2) ? ri : ro; a = -pi / 2 + k * pi / 5
            printf "%.1f,%.1f ", cx + r * cos(a), cy + r * sin(a)
        }
    }'
}

make_help_picture() {
    local t="$TMP/help"
    local blue='#1d4f91' text='#22303f'
    convert -size 200x200 radial-gradient:'#ffffff-#cfdff0' -gravity center -crop 150x160+0+0 +repage \
        +gravity -stroke none \
        -fill '#8fa9c8' -draw "roundrectangle 58,6 92,32 3,3" \
        -fill '#ffffff' -draw "rectangle 61,9 89,29" \
        -fill '#9fd0f5' -draw "rectangle 61,9 89,22" \
        -fill '#f2c230' -draw "circle 82,14 85,14" \
        -fill '#4f9a4a' -draw "polygon 61,29 70,18 77,25 81,21 89,29" \
        -fill '#5b7fa8' -draw "rectangle 1,1 148,1" -draw "rectangle 1,158 148,158" \
        -draw "rectangle 1,1 1,158" -draw "rectangle 148,1 148,158" \
        -gravity north \
        -font DejaVu-Sans-Condensed-Bold -pointsize 11 -fill "$text" -annotate +0+42 'To add a picture,' \
        -font DejaVu-Sans-Condensed -pointsize 10 -fill "$text" -annotate +0+60 'right-click here, choose' \
        -font DejaVu-Sans-Condensed-Bold -pointsize 10 -fill "$blue" -annotate +0+75 '"Load new image"' \
        -font DejaVu-Sans-Condensed -pointsize 10 -fill "$text" -annotate +0+89 'or' \
        -font DejaVu-Sans-Condensed-Bold -pointsize 10 -fill "$blue" -annotate +0+103 '"Load image, fit better",' \
        -font DejaVu-Sans-Condensed -pointsize 10 -fill "$text" -annotate +0+121 'or pick one in the' \
        -font DejaVu-Sans-Condensed-Bold -pointsize 10 -fill "$blue" -annotate +0+136 '"Clipart Browser !"' \
        "$t.png"
    jpeg_out "$t.png" "$ROOT/images/000_HELP.JPG" 95
}

make_images() {
    mkdir -p "$ROOT/images"
    rm -f "$ROOT/images/.gitkeep"
    make_help_picture

    clipart person '#eef5fd' '#a9c6e8' '#3f78b3' '#1d3f66' \
        "fill white circle 150,100 150,50
         path 'M 55,292 C 55,205 95,168 150,168 C 205,168 245,205 245,292 Z'"

    clipart house '#fff6e2' '#f0c47f' '#c0603a' '#7a2f18' \
        "fill white polygon 40,158 150,58 260,158
         rectangle 192,72 220,130
         rectangle 70,150 230,275
         fill black rectangle 133,200 167,275
         rectangle 90,172 122,202 rectangle 178,172 210,202"

    clipart phone '#e8f7ee' '#9fd4b4' '#34885b' '#174d31' \
        "fill white path 'M 55,118 C 55,78 100,66 150,66 C 200,66 245,78 245,118 L 245,134 L 200,134 L 194,112 L 106,112 L 100,134 L 55,134 Z'
         path 'M 104,140 L 196,140 C 212,140 218,150 222,162 L 250,258 C 254,272 246,280 232,280 L 68,280 C 54,280 46,272 50,258 L 78,162 C 82,150 88,140 104,140 Z'
         fill black circle 150,210 150,168
         fill white circle 150,210 150,194
         circle 150,178 150,170 circle 172,184 172,176 circle 182,206 182,198
         circle 174,228 174,220 circle 126,184 126,176 circle 118,206 118,198 circle 126,228 126,220"

    clipart briefcase '#f6f0e8' '#cdb89c' '#8a5d36' '#4a2f19' \
        "fill white roundrectangle 110,80 190,130 16,16
         roundrectangle 45,118 255,270 20,20
         fill black rectangle 126,96 174,122
         rectangle 45,176 255,184
         fill white roundrectangle 136,164 164,196 4,4"

    clipart cat '#f6edf9' '#cfb1dd' '#5a4275' '#2a1c38' \
        "fill white circle 150,112 150,66
         polygon 110,95 112,38 146,74 polygon 190,95 188,38 154,74
         path 'M 108,146 C 78,190 80,262 98,286 L 202,286 C 220,262 222,190 192,146 Z'
         fill none stroke white stroke-width 18 stroke-linecap round
         path 'M 196,278 C 262,280 268,214 236,190'
         fill black stroke none ellipse 131,110 7,11 0,360 ellipse 169,110 7,11 0,360
         polygon 144,128 156,128 150,136"

    clipart star '#fffbe6' '#f5d877' '#f7bd2a' '#c97a08' \
        "fill white polygon $(star_points 150 172 125 52)"

    clipart envelope '#ecf5fc' '#a7cde6' '#4592c9' '#1f5d8c' \
        "fill white roundrectangle 40,92 260,250 12,12
         fill none stroke black stroke-width 9 stroke-linejoin round stroke-linecap round
         polyline 46,100 150,182 254,100
         line 48,242 122,168 line 252,242 178,168"

    clipart heart '#fdeeee' '#f2b0b0' '#e5505a' '#a3202b' \
        "fill white path 'M 150,282 C 62,214 34,164 52,118 C 72,68 132,64 150,116 C 168,64 228,68 248,118 C 266,164 238,214 150,282 Z'"
}

# --------------------------------------------------------------------------------------------
# Program icon: an address card with a portrait and lines of text, a second card behind it.
# Drawn on a 256 grid; the small sizes use a plainer drawing with heavier shapes.
# --------------------------------------------------------------------------------------------

icon_full() { # OUT (256x256)
    local t="$TMP/icon"
    # the card's face: light gradient inside a rounded card
    convert -size 256x256 xc:none -fill white -draw "roundrectangle 14,62 214,228 20,20" "$t-face-mask.png"
    convert -size 256x256 gradient:'#ffffff-#dfe8f3' "$t-face-mask.png" -compose copyopacity -composite \
        "$t-face.png"
    convert -size 256x256 xc:none \
        \( -size 256x256 xc:none -fill 'rgba(0,0,0,0.45)' -draw "roundrectangle 46,34 246,200 20,20" \
        -draw "roundrectangle 18,70 220,236 20,20" -blur 0x5 \) -composite \
        -fill '#9db8d8' -stroke '#3e6794' -strokewidth 4 -draw "roundrectangle 42,30 240,194 20,20" \
        -stroke none -fill '#7f9fc6' -draw "roundrectangle 44,32 238,62 18,18" -draw "rectangle 44,46 238,62" \
        "$t-face.png" -compose over -composite \
        -fill none -stroke '#3e6794' -strokewidth 4 -draw "roundrectangle 14,62 214,228 20,20" \
        -stroke none -fill '#2f67a8' -draw "roundrectangle 16,64 212,102 18,18" -draw "rectangle 16,84 212,102" \
        -fill 'rgba(255,255,255,0.35)' -draw "roundrectangle 24,70 204,80 5,5" \
        -fill '#c9dcf1' -stroke '#5a84b4' -strokewidth 3 -draw "roundrectangle 32,116 102,208 8,8" \
        -stroke none -fill '#2f5f96' -draw "circle 67,144 67,125" \
        -draw "path 'M 40,206 C 40,178 50,166 67,166 C 84,166 94,178 94,206 Z'" \
        -fill '#7d9cc2' -draw "roundrectangle 116,122 196,134 6,6" -draw "roundrectangle 116,148 184,158 5,5" \
        -draw "roundrectangle 116,170 196,180 5,5" -draw "roundrectangle 116,192 170,202 5,5" \
        "$1"
}

icon_plain() { # OUT (256x256)
    convert -size 256x256 xc:none \
        -fill '#ffffff' -stroke '#2b5a8c' -strokewidth 16 -draw "roundrectangle 12,40 244,220 28,28" \
        -stroke none -fill '#2f67a8' -draw "roundrectangle 20,48 236,100 22,22" -draw "rectangle 20,76 236,100" \
        -fill '#2f5f96' -draw "circle 78,138 78,112" \
        -draw "path 'M 34,212 C 34,180 52,166 78,166 C 104,166 122,180 122,212 Z'" \
        -fill '#6d8fb8' -draw "roundrectangle 140,120 222,140 8,8" -draw "roundrectangle 140,160 222,180 8,8" \
        "$1"
}

make_icons() {
    local d="$ROOT/resources/icons" s
    mkdir -p "$d"
    icon_full "$TMP/icon-full.png"
    icon_plain "$TMP/icon-plain.png"
    for s in 256 64 48; do
        convert "$TMP/icon-full.png" -filter lanczos -resize "${s}x${s}" -strip -define png:exclude-chunks=date,time "PNG32:$d/velmora-$s.png"
    done
    for s in 32 16; do
        convert "$TMP/icon-plain.png" -filter lanczos -resize "${s}x${s}" -strip -define png:exclude-chunks=date,time "PNG32:$d/velmora-$s.png"
    done
}

# --------------------------------------------------------------------------------------------
# Button glyphs, 16x16 and 24x24: PNG with alpha, and a 24-bit BMP whose bottom-left pixel
# holds the transparent colour (magenta) for the speed buttons.
# Most are taken from the Tango icon theme (public domain), a few are combined from two Tango
# icons, and the rest are drawn here. resources/glyphs/SOURCES.md is written from these tables.
# --------------------------------------------------------------------------------------------

# role : Tango icon (mirrored when followed by " flop")
TANGO_GLYPHS=(
    "new:actions/contact-new"
    "undo:actions/edit-undo"
    "list:mimetypes/x-office-address-book"
    "previous:actions/go-previous"
    "next:actions/go-next"
    "find:actions/edit-find"
    "print:actions/document-print"
    "delete:places/user-trash"
    "tools:categories/preferences-system"
    "about:status/dialog-information"
    "exit:actions/system-log-out"
    "scheme_next:actions/media-seek-forward"
    "scheme_previous:actions/media-seek-backward"
    "image_next:actions/media-playback-start"
    "image_previous:actions/media-playback-start flop"
    "email:apps/internet-mail"
    "web:apps/internet-web-browser"
    "help:apps/help-browser"
    "cancel:actions/process-stop"
    "save:actions/document-save"
    "open:actions/document-open"
)

# role : Tango base icon : Tango arrow put small over its bottom-right corner
COMBINED_GLYPHS=(
    "backup:devices/media-floppy:actions/go-down"
    "restore:devices/media-floppy:actions/go-up"
    "export:mimetypes/x-office-document:actions/go-next"
    "import:mimetypes/x-office-document:actions/go-previous"
)

# role : what is drawn (by draw_glyph_<role>)
DRAWN_GLYPHS=(
    "grid:four tiles in a square"
    "dial:a desk telephone"
    "ok:a green check mark"
    "close:a red cross"
    "letter:a bold letter A on a blue tab"
    "sort:the letters A over Z beside a downward arrow"
)

# mask_glyph MASK LIGHT DARK OUTLINE OUT: colours a white-on-black 96x96 mask with a
# top-to-bottom gradient inside a darker outline (Tango-like).
mask_glyph() {
    local mask=$1 light=$2 dark=$3 edge=$4 out=$5
    convert \( -size 96x96 xc:"$edge" \( "$mask" -morphology Dilate Disk:4 \) -alpha off \
        -compose copyopacity -composite \) \
        \( -size 96x96 gradient:"$light-$dark" "$mask" -alpha off -compose copyopacity -composite \) \
        -compose over -composite "$out"
}

# Each draw_glyph_<role> writes a 96x96 picture with alpha to $1.
draw_glyph_grid() {
    convert -size 96x96 xc:black -fill white \
        -draw "roundrectangle 12,12 44,44 6,6 roundrectangle 52,12 84,44 6,6" \
        -draw "roundrectangle 12,52 44,84 6,6 roundrectangle 52,52 84,84 6,6" "$TMP/m-grid.png"
    mask_glyph "$TMP/m-grid.png" '#9cc3ef' '#3465a4' '#204a87' "$1"
}

draw_glyph_dial() {
    convert -size 96x96 xc:black -fill white \
        -draw "path 'M 8,30 C 8,14 26,8 48,8 C 70,8 88,14 88,30 L 88,38 L 70,38 L 67,28 L 29,28 L 26,38 L 8,38 Z'" \
        -draw "path 'M 32,40 L 64,40 C 70,40 73,44 75,50 L 86,80 C 88,86 85,90 79,90 L 17,90 C 11,90 8,86 10,80 L 21,50 C 23,44 26,40 32,40 Z'" \
        -fill black -draw "circle 48,66 48,52" -fill white -draw "circle 48,66 48,61" "$TMP/m-dial.png"
    mask_glyph "$TMP/m-dial.png" '#8ae234' '#4e9a06' '#2c5c02' "$1"
}

draw_glyph_ok() {
    convert -size 96x96 xc:black -fill none -stroke white -strokewidth 18 -draw "stroke-linecap round" \
        -draw "stroke-linejoin round polyline 16,52 38,74 80,22" "$TMP/m-ok.png"
    mask_glyph "$TMP/m-ok.png" '#8ae234' '#4e9a06' '#2c5c02' "$1"
}

draw_glyph_close() {
    convert -size 96x96 xc:black -fill none -stroke white -strokewidth 20 \
        -draw "stroke-linecap round line 22,22 74,74 line 74,22 22,74" "$TMP/m-close.png"
    mask_glyph "$TMP/m-close.png" '#ef6a6a' '#cc0000' '#7a0000' "$1"
}

draw_glyph_letter() {
    convert -size 96x96 xc:black -fill white -draw "roundrectangle 8,8 88,88 16,16" "$TMP/m-letter.png"
    mask_glyph "$TMP/m-letter.png" '#8fb8e8' '#3465a4' '#204a87' "$TMP/g-letter.png"
    convert "$TMP/g-letter.png" -font DejaVu-Sans-Bold -pointsize 74 -fill white -stroke '#1c3f73' \
        -strokewidth 2 -gravity center -annotate +0+2 'A' "$1"
}

draw_glyph_sort() {
    convert -size 96x96 xc:black -fill none -stroke white -strokewidth 12 \
        -draw "stroke-linecap round line 72,12 72,66" -stroke none -fill white \
        -draw "polygon 50,58 94,58 72,90" "$TMP/m-sort.png"
    mask_glyph "$TMP/m-sort.png" '#9cc3ef' '#3465a4' '#204a87' "$TMP/g-sort.png"
    convert "$TMP/g-sort.png" -font DejaVu-Sans-Bold -pointsize 46 -fill none -stroke '#2e3436' \
        -strokewidth 7 -gravity northwest -annotate +2-6 'A' -annotate +4+42 'Z' \
        -fill white -stroke none -annotate +2-6 'A' -annotate +4+42 'Z' "$1"
}

# bmp_glyph PNG BMP SIZE: opaque where the PNG is at least half covered, and also where it is
# faintly covered inside the glyph's outline (glass, lamp bulbs); magenta everywhere else.
bmp_glyph() {
    local y=$(($3 - 1)) t="$TMP/bmp"
    convert "$1" -alpha extract -threshold 50% "$t-half.png"
    convert "$t-half.png" -bordercolor black -border 1 -fill gray50 -draw "color 0,0 floodfill" \
        -shave 1x1 -fill white -opaque black -fill black -opaque gray50 "$t-filled.png"
    convert "$1" -alpha extract -threshold 8% "$t-faint.png"
    convert "$t-filled.png" "$t-faint.png" -compose multiply -composite \
        "$t-half.png" -compose lighten -composite "$t-mask.png"
    convert "$1" -alpha off -fill '#fe01fe' -opaque '#ff00ff' "$t-mask.png" -alpha off \
        -compose copyopacity -composite -background '#ff00ff' -compose over -flatten \
        -fill '#ff00ff' -draw "point 0,$y" -alpha off -type TrueColor "BMP3:$2"
}

make_glyphs() {
    local d="$ROOT/resources/glyphs" e role src base arrow flop s a
    [ -d "$TANGO" ] || { echo "tango-icon-theme is not installed ($TANGO)" >&2; exit 1; }
    mkdir -p "$d"
    rm -f "$d"/*.png "$d"/*.bmp
    for e in "${TANGO_GLYPHS[@]}"; do
        role=${e%%:*}; src=${e#*:}; flop=""
        [ "${src% flop}" != "$src" ] && { src=${src% flop}; flop=-flop; }
        for s in 16 24; do
            convert "$TANGO/${s}x${s}/$src.png" $flop -strip -define png:exclude-chunks=date,time "PNG32:$d/$role-$s.png"
        done
    done
    for e in "${COMBINED_GLYPHS[@]}"; do
        IFS=: read -r role base arrow <<<"$e"
        for s in 16 24; do
            a=$((s * 5 / 8))
            convert "$TANGO/${s}x${s}/$base.png" \
                \( "$TANGO/16x16/$arrow.png" -filter catrom -resize "${a}x${a}" \) \
                -gravity southeast -geometry +0+0 -compose over -composite -strip -define png:exclude-chunks=date,time "PNG32:$d/$role-$s.png"
        done
    done
    for e in "${DRAWN_GLYPHS[@]}"; do
        role=${e%%:*}
        "draw_glyph_$role" "$TMP/g96-$role.png"
        for s in 16 24; do
            convert "$TMP/g96-$role.png" -filter catrom -resize "${s}x${s}" -strip -define png:exclude-chunks=date,time "PNG32:$d/$role-$s.png"
        done
    done
    for e in "$d"/*-16.png "$d"/*-24.png; do
        s=${e##*-}; s=${s%.png}
        bmp_glyph "$e" "${e%.png}.bmp" "$s"
    done
    # The narrow buttons of the main window's top bar carry a smaller glyph beside their caption.
    for e in find:12 print:12 list:10 grid:10; do
        role=${e%%:*}; s=${e#*:}
        convert "$d/$role-24.png" -resize "${s}x${s}" -channel A -threshold 50% +channel -background '#FF00FF' \
            -alpha remove -alpha off -type TrueColor "BMP3:$d/$role-$s.bmp"
    done
    make_two_cell_glyphs
    write_glyph_sources "$d/SOURCES.md"
}

# The glyphs of the buttons that the program disables carry a second cell, the disabled look:
# the glyph in light greys, its transparent pixels kept.
TWO_CELL_GLYPHS=(print-16 tools-16 exit-16)

make_two_cell_glyphs() {
    local d="$ROOT/resources/glyphs" g
    for g in "${TWO_CELL_GLYPHS[@]}"; do
        convert "$d/$g.bmp" -alpha off -fx "(r==1 && g==0 && b==1) ? p : 0.45 + 0.35 * intensity" "$TMP/disabled.png"
        convert "$d/$g.bmp" "$TMP/disabled.png" +append -alpha off -type TrueColor "BMP3:$d/${g}x2.bmp"
    done
}

write_glyph_sources() {
    local e role src base arrow
    {
        echo "# Where the button glyphs come from"
        echo
        echo "Each role has four files: \`<role>-16.png\` and \`<role>-24.png\` (with alpha) and"
        echo "\`<role>-16.bmp\` and \`<role>-24.bmp\` (24-bit, transparent colour magenta \$FF00FF in the"
        echo "bottom-left pixel). The BMP files are made from the PNG files by resources/make_pictures.sh."
        echo
        echo "Most glyphs are the 16x16 and 24x24 PNG icons of the Tango icon theme as Debian packages it"
        echo "(package tango-icon-theme 0.8.90, files under /usr/share/icons/Tango/<size>/). The Tango"
        echo "icons are in the public domain: its contributors released the artwork into the public domain"
        echo "for the 0.8.90 release (see /usr/share/doc/tango-icon-theme/copyright). The remaining glyphs"
        echo "are our own drawings, made by the script; they are ours to use as we like."
        echo
        echo "## Taken from Tango"
        echo
        echo "| role | Tango icon |"
        echo "|---|---|"
        for e in "${TANGO_GLYPHS[@]}"; do
            role=${e%%:*}; src=${e#*:}
            if [ "${src% flop}" != "$src" ]; then
                echo "| $role | \`${src% flop}.png\`, mirrored left to right |"
            else
                echo "| $role | \`$src.png\` |"
            fi
        done
        echo
        echo "## Combined from two Tango icons"
        echo
        echo "The second icon (its 16x16 file, scaled to five eighths of the glyph) is put over the"
        echo "bottom-right corner of the first."
        echo
        echo "| role | Tango icon | small arrow over it |"
        echo "|---|---|---|"
        for e in "${COMBINED_GLYPHS[@]}"; do
            IFS=: read -r role base arrow <<<"$e"
            echo "| $role | \`$base.png\` | \`$arrow.png\` |"
        done
        echo
        echo "## Drawn by us"
        echo
        echo "| role | drawing |"
        echo "|---|---|"
        for e in "${DRAWN_GLYPHS[@]}"; do
            echo "| ${e%%:*} | ${e#*:} |"
        done
    } >"$1"
}

# --------------------------------------------------------------------------------------------

main() {
    local parts=("$@")
    [ ${#parts[@]} -eq 0 ] && parts=(skins backdrops images icons glyphs)
    local p
    for p in "${parts[@]}"; do
        case $p in
        skins) make_skins ;;
        backdrops) make_backdrops ;;
        images) make_images ;;
        icons) make_icons ;;
        glyphs) make_glyphs ;;
        twocell) make_two_cell_glyphs ;;
        *) echo "unknown part: $p" >&2; exit 2 ;;
        esac
    done
}

main "$@"
