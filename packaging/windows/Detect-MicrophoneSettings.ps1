# Detection (Intune remediations, start-up scripts): exit 0 when every microphone holds the
# settings of the desired file, 1 when one differs or the check fails, so that remediation
# runs. Intune keeps only the last line of output: it is a one-line summary.
param([string]$Desired = "$env:ProgramData\Vantor\desired.json")
$tool = Join-Path $PSScriptRoot 'vantor-mic.exe'
if (-not (Test-Path $tool)) { $tool = "$env:ProgramFiles\Vantor\Microphone Settings\vantor-mic.exe" }
if (-not (Test-Path $tool)) { "error: vantor-mic.exe is not installed ($tool)"; exit 1 }
$lines = & $tool check --all $Desired 2>&1 | ForEach-Object { "$_" -replace '^vantor-mic: ', '' }
$status = $LASTEXITCODE
$summary = ($lines | Where-Object { $_.Trim() }) -join '; '
if ($status -eq 0) { "matches: $summary"; exit 0 }
if ($status -eq 6) { "differs: $summary"; exit 1 }
"error (vantor-mic exit status $status): $summary"
exit 1
