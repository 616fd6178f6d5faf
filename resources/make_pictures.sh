#!/usr/bin/env bash
# Remakes the program's pictures: the colour schemes (skins/), the card pictures (images/),
# the program icon (resources/icons/) and the button glyphs (resources/glyphs/).
#
#   resources/make_pictures.sh [skins|images|icons|glyphs ...]   (default: all four)
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

# scheme NAME BG_LIGHT BG_DARK GLOW BAR_LIGHT BAR_DARK TEXTURE SEED
scheme() {
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
    jpeg_out "$t-back.png" "$ROOT/skins/${name}1.jpg" 90

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
    jpeg_out "$t-bar.png" "$ROOT/skins/${name}2.jpg" 90
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

main() {
    local parts=("$@")
    [ ${#parts[@]} -eq 0 ] && parts=(skins images icons glyphs)
    local p
    for p in "${parts[@]}"; do
        case $p in
        skins) make_skins ;;
        images) make_images ;;
        icons) make_icons ;;
        glyphs) make_glyphs ;;
        *) echo "unknown part: $p" >&2; exit 2 ;;
        esac
    done
}

main "$@"
