# Sourced by the main command and the walk-through: one timed line per stage.
stage_started=$(date +%s%3N)

# stage NAME TEXT: prints the time since the previous stage line.
stage() {
    local now ms
    now=$(date +%s%3N)
    ms=$((now - stage_started))
    printf '[%-9s] %3d.%d s  %s\n' "$1" $((ms / 1000)) $((ms % 1000 / 100)) "$2"
    stage_started=$now
}
