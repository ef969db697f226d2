-- The in-host half of tools/lv2/ardour-check.sh, run by ardour7-lua (Ardour's headless
-- session tool) on the "None (Dummy)" back end:
--
--   ardour7-lua ardour-session.lua build|reload|state-only PLUGIN_URI OUTDIR EXPORT_PRESET
--
-- build:      a new session with one MIDI track whose instrument is the LV2 plug-in, a
--             factory preset loaded and one parameter changed through Ardour, a region of
--             notes, the master bus exported to OUTDIR/build.wav, the session saved.
-- reload:     the saved session in a fresh process: every parameter as saved, the notes,
--             the master bus exported again (reload.wav), saved again as "resaved".
-- state-only: the copy "stateonly" that the shell side wrote without the plug-in's port
--             values, so that only the plug-in's own state can give back its sound
--             (stateonly.wav).
--
-- Results go to stderr as "RESULT key=value"; a failed check raises an error starting
-- "CHECK-FAIL", which ends ardour7-lua with a non-zero status.

local mode, uri, outdir, export_preset = arg[1], arg[2], arg[3], arg[4]
local RATE, SECONDS = 48000, 3
local NOTES = { 48, 55, 60, 64 }          -- one a beat at 120 bpm, held for half a beat
local PRESET = uri .. "/preset/factory-35"
local CHANGED_SYMBOL = "vcf_cutoff"
local CHANGED_VALUE = 31.5                -- half the range: exact through the normalised value
local SETTLE = 2                           -- seconds around each export (Ardour's butler)

local function out(...) io.stderr:write(table.concat({ ... }, " ") .. "\n") end
local function result(key, value) out("RESULT " .. key .. "=" .. tostring(value)) end
local function check(ok, message) if not ok then error("CHECK-FAIL " .. mode .. ": " .. message, 0) end end

local function plugin_info()
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == ARDOUR.PluginType.LV2 and p.unique_id == uri then return p end
  end
end

local function instrument_track()
  for r in Session:get_tracks():iter() do
    if r:data_type():to_string() == "midi" then return r end
  end
end

-- Ardour's control inputs of the plug-in: symbol order = port order.
local function controls(insert)
  local plugin = insert:to_insert():plugin(0)
  local list = {}
  for i = 0, plugin:parameter_count() - 1 do
    if plugin:parameter_is_control(i) and plugin:parameter_is_input(i) then
      local value = ARDOUR.LuaAPI.get_processor_param(insert, #list, true)
      list[#list + 1] = { port = i, label = plugin:parameter_label(i), value = value }
    end
  end
  return list
end

local exports = {}  -- kept until the session closes (ardour7-lua 7.3 crashes otherwise)
local function export(name)
  local e = Session:simple_export()
  exports[#exports + 1] = e
  check(e:set_preset(export_preset), "no export preset " .. export_preset)
  e:set_folder(outdir)
  e:set_name(name)
  e:set_range(0, RATE * SECONDS)
  check(e:check_outputs(), "the master bus has no outputs")
  sleep(SETTLE)
  check(e:run_export(), "Ardour's export failed")
  sleep(SETTLE)
end

local function save_controls(list, path)
  local f = assert(io.open(path, "w"))
  for _, c in ipairs(list) do f:write(string.format("%d\t%.9g\t%s\n", c.port, c.value, c.label)) end
  f:close()
end

local function saved_controls(path)
  local list = {}
  for line in io.lines(path) do
    local port, value, label = line:match("^(%d+)\t(%S+)\t(.*)$")
    list[#list + 1] = { port = tonumber(port), value = tonumber(value), label = label }
  end
  return list
end

AudioEngine:set_backend("None (Dummy)", "tesvarlv2", "")
check(AudioEngine:current_backend_name() == "Dummy", "no dummy back end")
local folder = ARDOUR.LuaAPI.build_filename(outdir, "session")
local controls_file = ARDOUR.LuaAPI.build_filename(outdir, "controls.txt")

if mode == "build" then
  check(create_session(folder, "check", RATE), "cannot create a session")
  local info = plugin_info()
  check(info ~= nil, "Ardour lists no LV2 plug-in " .. uri .. " (LV2_PATH)")
  check(info:is_instrument(), "not listed as an instrument")
  local presets = 0
  for _ in info:get_presets(false):iter() do presets = presets + 1 end
  result("presets", presets)
  local tracks = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
    ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, "synth",
    ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
  check(tracks:size() == 1, "no MIDI track")
  local route = tracks:front()
  local insert = route:the_instrument()
  check(not insert:isnil() and not insert:to_insert():isnil(), "Ardour could not instantiate the plug-in")
  local plugin = insert:to_insert():plugin(0)

  -- A factory preset, as a user picks it from Ardour's preset list.
  local loaded = false
  for p in info:get_presets(false):iter() do
    if p.uri == PRESET then loaded = plugin:load_preset(p) end
  end
  check(loaded, "Ardour could not load the preset " .. PRESET)

  -- One parameter changed through Ardour's control.
  local list = controls(insert)
  result("parameters", #list)
  for n, c in ipairs(list) do
    if plugin:parameter_label(c.port) == "VCF Cutoff" then
      ARDOUR.LuaAPI.set_processor_param(insert, n - 1, CHANGED_VALUE)
    end
  end
  sleep(0.5)

  -- A region of notes: the empty track bounced, then notes added to its model.
  local track = route:to_track()
  local region = track:bounce_range(0, RATE * SECONDS, ARDOUR.InterThreadInfo(), insert, false, "notes", false)
  check(not region:isnil(), "no MIDI region")
  track:playlist():add_region(region, Temporal.timepos_t(0), 1, false, 0, 0, false)
  local model = region:to_midiregion():model()
  local command = model:new_note_diff_command("notes")
  for beat, note in ipairs(NOTES) do
    command:add(ARDOUR.LuaAPI.new_noteptr(1, Temporal.Beats(beat - 1, 0), Temporal.Beats(0, 960), note, 100))
  end
  model:apply_command(Session, command)

  export("build")
  list = controls(insert)
  save_controls(list, controls_file)
  for _, c in ipairs(list) do
    if c.label == "VCF Cutoff" then result("changed", string.format("%.4f", c.value)) end
  end
  Session:save_state("", false, false, false, false, false)
  route, insert, plugin, track, region, model, command, info, tracks = nil
  close_session()
  out("build: done")

elseif mode == "reload" or mode == "state-only" then
  local snapshot = mode == "reload" and "check" or "stateonly"
  check(load_session(folder, snapshot), "cannot load the session " .. snapshot)
  local route = instrument_track()
  check(route ~= nil, "the MIDI track is gone")
  local insert = route:the_instrument()
  check(not insert:isnil() and not insert:to_insert():isnil(), "Ardour could not instantiate the plug-in again")
  if mode == "reload" then
    -- Ardour's controls come back from the session; all of them as saved.
    local now, differ = controls(insert), 0
    for n, saved in ipairs(saved_controls(controls_file)) do
      local c = now[n]
      check(c ~= nil and c.port == saved.port, "the parameter list changed")
      if math.abs(c.value - saved.value) > 1e-4 then
        differ = differ + 1
        out(string.format("  %s saved %.6f, reloaded %.6f", saved.label, saved.value, c.value))
      end
    end
    result("parameters_back", (#now - differ) .. "/" .. #now)
    check(differ == 0, differ .. " parameters differ after the reload")
    local notes = 0
    for r in route:to_track():playlist():region_list():iter() do
      for _ in ARDOUR.LuaAPI.note_list(r:to_midiregion():model()):iter() do notes = notes + 1 end
    end
    check(notes == #NOTES, "expected " .. #NOTES .. " notes, found " .. notes)
  end
  export(mode == "reload" and "reload" or "stateonly")
  if mode == "reload" then Session:save_state("resaved", false, false, false, false, false) end
  route, insert = nil
  close_session()
  out(mode .. ": done")
else
  check(false, "unknown mode " .. tostring(mode))
end
