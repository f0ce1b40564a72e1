// The console of pravikd. It talks only to the public API under /api/v1, with
// the token the operator typed, so whatever it does a script can do as well.
// No inline script or style is allowed by the page's policy: everything is
// built here with DOM calls and styled by class names from app.css.
'use strict';

const TOKEN_KEY = 'pravikd.token';
const TEXT = {
  invalidToken: '令牌无效/Invalid token',
  tooMany: '尝试过多，请稍后再试/Too many attempts, try again later',
  forbidden: '此令牌只能查看/This token may only look',
  sent: '已发送/Sent',
  stopped: '已停止/Stopped',
  queued: '排队中/Queued',
  running: '发送中/Sending',
  live: '实时/Live',
  offline: '离线/Offline',
  reconnecting: '重新连接/Reconnecting',
  unreachable: '无法连接服务/The service cannot be reached',
  noFiles: '内容文件夹中没有显示文件/No display file in the content folder',
  noPicture: '没有画面/No screens',
};
const STATES = {
  ok: '正常/OK',
  failing: '故障/Failing',
  offline: '离线/Offline',
  unknown: '未知/Unknown',
};
const ROLES = { operator: '操作员/Operator', viewer: '查看者/Viewer' };

const $ = (id) => document.getElementById(id);

// Builds an element; attributes are set as attributes (never `style`, which
// the page's policy forbids), children may be strings or nodes.
function h(tag, attrs, ...children) {
  const el = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs || {})) {
    if (v === null || v === undefined || v === false) continue;
    el.setAttribute(k, v === true ? '' : String(v));
  }
  for (const c of children.flat()) {
    if (c === null || c === undefined) continue;
    el.append(c instanceof Node ? c : String(c));
  }
  return el;
}

function svg(tag, attrs, ...children) {
  const el = document.createElementNS('http://www.w3.org/2000/svg', tag);
  for (const [k, v] of Object.entries(attrs || {})) el.setAttribute(k, String(v));
  for (const c of children) el.append(c instanceof Node ? c : String(c));
  return el;
}

// ---- Times ---------------------------------------------------------------
// Every time is shown on the service's wall clock, which is what the boards'
// schedule speaks, wherever the browser is and whichever offset the service
// wrote an instant with (its zone's, or UTC's Z). The zone is the one the
// service's plan names; until that is known, the browser's own.
const ISO_RE = /^\d{4}-\d\d-\d\dT\d\d:\d\d(:\d\d(\.\d+)?)?(Z|[+-]\d\d:\d\d)$/;
let serviceZone = Intl.DateTimeFormat().resolvedOptions().timeZone;
const wallFormats = new Map(); // zone -> Intl.DateTimeFormat

// Year, month, day, hour, minute and second of `when` on `zone`'s wall clock,
// as two-digit texts (the year four).
function wallParts(zone, when) {
  let fmt = wallFormats.get(zone);
  if (!fmt) {
    fmt = new Intl.DateTimeFormat('en-US', {
      timeZone: zone, hourCycle: 'h23', year: 'numeric', month: '2-digit', day: '2-digit',
      hour: '2-digit', minute: '2-digit', second: '2-digit',
    });
    wallFormats.set(zone, fmt);
  }
  const parts = {};
  for (const p of fmt.formatToParts(when)) parts[p.type] = p.value;
  return parts;
}

function wallClock(iso, withSeconds) {
  const when = new Date(ISO_RE.test(iso || '') ? iso : NaN);
  if (Number.isNaN(when.getTime())) return '—';
  const p = wallParts(serviceZone, when);
  const today = wallParts(serviceZone, new Date());
  const time = withSeconds ? `${p.hour}:${p.minute}:${p.second}` : `${p.hour}:${p.minute}`;
  const sameDay = p.year === today.year && p.month === today.month && p.day === today.day;
  return sameDay ? time : `${p.month}-${p.day} ${time}`;
}

function timeEl(iso, withSeconds) {
  if (!iso) return '—';
  return h('time', { datetime: iso, title: iso }, wallClock(iso, withSeconds));
}

// Minutes east of UTC that `zone` has at `when`.
function zoneOffset(zone, when) {
  const parts = wallParts(zone, when);
  const asUtc = Date.UTC(Number(parts.year), Number(parts.month) - 1, Number(parts.day),
    Number(parts.hour), Number(parts.minute), Number(parts.second));
  return Math.round((asUtc - Math.floor(when.getTime() / 1000) * 1000) / 60000);
}

// Today's midnight in `zone`, as ISO with that zone's offset.
function midnightIn(zone) {
  const today = wallParts(zone, new Date());
  const [y, mo, d] = [today.year, today.month, today.day].map(Number);
  let guess = Date.UTC(y, mo - 1, d);
  let offset = zoneOffset(zone, new Date(guess));
  offset = zoneOffset(zone, new Date(guess - offset * 60000));
  guess -= offset * 60000;
  const sign = offset < 0 ? '-' : '+';
  const abs = Math.abs(offset);
  const pad = (n) => String(n).padStart(2, '0');
  return `${y}-${pad(mo)}-${pad(d)}T00:00:00${sign}${pad(Math.floor(abs / 60))}:${pad(abs % 60)}`;
}

// ---- The API ---------------------------------------------------------------
const session = {
  token: sessionStorage.getItem(TOKEN_KEY) || '',
  role: '',
  name: '',
};

class ApiError extends Error {
  constructor(status, message) {
    super(message);
    this.status = status;
  }
}

function errorText(status, body) {
  if (status === 401) return TEXT.invalidToken;
  if (status === 429) return TEXT.tooMany;
  if (body && typeof body.error === 'string') return body.error;
  if (status === 403) return TEXT.forbidden;
  return `HTTP ${status}`;
}

async function api(method, path, body) {
  const headers = { Authorization: `Bearer ${session.token}` };
  const init = { method, headers, cache: 'no-store' };
  if (body instanceof FormData) {
    init.body = body;
  } else if (body !== undefined) {
    headers['Content-Type'] = 'application/json';
    init.body = JSON.stringify(body);
  }
  let res;
  try {
    res = await fetch(`/api/v1${path}`, init);
  } catch (e) {
    throw new ApiError(0, TEXT.unreachable);
  }
  const type = res.headers.get('Content-Type') || '';
  const data = type.includes('json') ? await res.json().catch(() => null) : await res.blob();
  if (res.ok) return data;
  if (res.status === 401 && session.role) signOut(TEXT.invalidToken);
  if (res.status === 403) learnViewer();
  throw new ApiError(res.status, errorText(res.status, data));
}

const enc = encodeURIComponent;
const filePath = (file) => file.split('/').map(enc).join('/');

// ---- Sign in and out ---------------------------------------------------------
async function signIn(token) {
  session.token = token;
  sessionStorage.setItem(TOKEN_KEY, token);
  let me;
  try {
    me = await api('GET', '/me');
  } catch (e) {
    if (e.status === 404) {
      // A service without /me: the token is checked on the board list, and a
      // refusal of a change later says the token only looks.
      await api('GET', '/boards');
      me = { token: '', role: 'operator' };
    } else {
      throw e;
    }
  }
  session.role = me.role === 'viewer' ? 'viewer' : 'operator';
  session.name = me.token || '';
  await learnZone();
  startConsole();
}

// Asked once the token is known good, so that a wrong one costs a single
// failed attempt.
async function learnZone() {
  try {
    const plan = await api('GET', '/plan?hours=1');
    if (plan && plan.zone) serviceZone = plan.zone;
  } catch (e) {
    // A service that does not say: the browser's zone stays.
  }
}

function signOut(message) {
  sessionStorage.removeItem(TOKEN_KEY);
  session.token = '';
  session.role = '';
  events.stop();
  for (const url of imageUrls.splice(0)) URL.revokeObjectURL(url);
  $('session').hidden = true;
  $('tabs').hidden = true;
  $('token').value = '';
  $('sign-in-error').textContent = message || '';
  if (location.hash) history.replaceState(null, '', location.pathname);
  showView('sign-in');
  $('token').focus();
}

// Once the service refuses a change, every control that changes is withdrawn.
function learnViewer() {
  if (session.role === 'viewer') return;
  session.role = 'viewer';
  applyRole();
}

function applyRole() {
  const viewer = session.role === 'viewer';
  document.body.classList.toggle('viewer', viewer);
  for (const el of document.querySelectorAll('.changes')) el.hidden = viewer;
  $('who').textContent = [session.name, ROLES[session.role]].filter(Boolean).join(' · ');
  if (viewer && location.hash === '#upload') location.hash = '#boards';
}

// ---- The event stream ------------------------------------------------------------
// EventSource cannot send the token, so the stream is read with fetch() and
// parsed here: "field: value" lines, a blank line ends an event, ":" lines are
// comments (the service's keep-alive).
class EventStreamParser {
  constructor(onEvent) {
    this.onEvent = onEvent;
    this.buffer = '';
    this.reset();
  }

  reset() {
    this.type = '';
    this.data = [];
  }

  push(text) {
    this.buffer += text;
    for (;;) {
      const m = /\r\n|\r|\n/.exec(this.buffer);
      // A CR at the very end may be the first half of a CR LF.
      if (!m || (m[0] === '\r' && m.index === this.buffer.length - 1)) return;
      const line = this.buffer.slice(0, m.index);
      this.buffer = this.buffer.slice(m.index + m[0].length);
      this.line(line);
    }
  }

  line(line) {
    if (line === '') {
      if (this.data.length) this.onEvent(this.type || 'message', this.data.join('\n'));
      this.reset();
      return;
    }
    if (line.startsWith(':')) return;
    const colon = line.indexOf(':');
    const field = colon < 0 ? line : line.slice(0, colon);
    let value = colon < 0 ? '' : line.slice(colon + 1);
    if (value.startsWith(' ')) value = value.slice(1);
    if (field === 'event') this.type = value;
    else if (field === 'data') this.data.push(value);
  }
}

const events = {
  controller: null,
  retry: 0,
  timer: 0,
  idle: 0,

  start() {
    this.stop();
    this.controller = new AbortController();
    this.run(this.controller);
  },

  stop() {
    clearTimeout(this.timer);
    clearTimeout(this.idle);
    if (this.controller) this.controller.abort();
    this.controller = null;
    setLive('');
  },

  // Three keep-alives missed: the connection is dead even if no error says so.
  watch(controller) {
    clearTimeout(this.idle);
    this.idle = setTimeout(() => controller.abort(), 50000);
  },

  async run(controller) {
    let status = 0;
    try {
      const res = await fetch('/api/v1/events', {
        headers: { Authorization: `Bearer ${session.token}`, Accept: 'text/event-stream' },
        cache: 'no-store',
        signal: controller.signal,
      });
      status = res.status;
      if (res.status === 401) {
        signOut(TEXT.invalidToken);
        return;
      }
      if (!res.ok || !res.body) throw new Error(`HTTP ${res.status}`);
      setLive('live');
      this.retry = 0;
      // What happened while the stream was down is read afresh.
      refreshAfterReconnect();
      const parser = new EventStreamParser(onServiceEvent);
      const reader = res.body.pipeThrough(new TextDecoderStream()).getReader();
      this.watch(controller);
      for (;;) {
        const { value, done } = await reader.read();
        if (done) break;
        this.watch(controller);
        parser.push(value);
      }
    } catch (e) {
      // A drop, an abort by the watchdog, or a refusal: retried below.
    }
    clearTimeout(this.idle);
    if (this.controller !== controller) return;
    setLive('reconnecting');
    const pause = status === 429 ? 60000 : Math.min(15000, 1000 * 2 ** this.retry);
    this.retry = Math.min(this.retry + 1, 4);
    this.timer = setTimeout(() => {
      if (this.controller === controller) {
        this.controller = new AbortController();
        this.run(this.controller);
      }
    }, pause);
  },
};

function setLive(state) {
  const el = $('live');
  el.className = state ? `live is-${state}` : 'live';
  el.textContent = state === 'live' ? TEXT.live : state === 'reconnecting' ? TEXT.reconnecting : TEXT.offline;
}

function onServiceEvent(type, text) {
  let data;
  try {
    data = JSON.parse(text);
  } catch (e) {
    return;
  }
  if (type === 'state') {
    updateBoard(data);
  } else if (type === 'progress') {
    mergeJob({ id: data.job, board: data.board, state: 'running', screen: data.screen, screens: data.screens });
    noteJob(data.board, data.job);
  } else if (type === 'job') {
    mergeJob(data);
    noteJob(data.board, data.id);
  } else if (type === 'action') {
    if (currentView === 'audit') loadAudit();
    if (currentView === 'plan') loadPlan();
  }
}

// ---- The model the views show --------------------------------------------------------
const model = {
  boards: new Map(), // name -> BOARD
  jobs: new Map(), // id -> JOB (or what progress events told)
  boardJob: new Map(), // board -> the id of its latest job
  content: [], // CONTENT
  events: 0, // state events heard so far
  heard: new Map(), // board -> the count when its last state event came
};

// Answers to GET /jobs/{id} and the stream's events may cross: what is known
// of a job only moves forward (queued, running screen by screen, ended).
function mergeJob(job) {
  const rank = (j) => (j.state === 'queued' ? 0 : j.state === 'running' ? 1 : 2);
  const old = model.jobs.get(job.id);
  const newer = !old || rank(job) > rank(old) ||
    (rank(job) === rank(old) && (job.screen ?? -1) >= (old.screen ?? -1));
  model.jobs.set(job.id, newer ? { ...old, ...job } : { ...job, ...old });
}

function updateBoard(board) {
  model.boards.set(board.board, board);
  model.heard.set(board.board, ++model.events);
  if (board.job) noteJob(board.board, board.job, true);
  renderBoardRow(board);
  if (currentView === 'board' && currentBoard === board.board) renderBoardDetail();
}

function noteJob(board, id, quiet) {
  const known = model.boardJob.get(board);
  if (known === undefined || id >= known) model.boardJob.set(board, id);
  if (!quiet && currentView === 'board' && currentBoard === board) renderJob();
  if (!quiet) renderBoardRow(model.boards.get(board));
}

async function loadBoards() {
  try {
    const asked = model.events;
    const { boards } = await api('GET', '/boards');
    const names = new Set(boards.map((b) => b.board));
    for (const name of [...model.boards.keys()]) if (!names.has(name)) model.boards.delete(name);
    // A state event that came while the list was on its way is newer than the list.
    for (const b of boards) if (!((model.heard.get(b.board) || 0) > asked)) model.boards.set(b.board, b);
    $('boards-error').textContent = '';
    renderBoards();
    if (currentView === 'board') renderBoardDetail();
  } catch (e) {
    $('boards-error').textContent = e.message;
  }
}

async function loadContent() {
  try {
    const { files } = await api('GET', '/content');
    model.content = files;
  } catch (e) {
    model.content = [];
  }
}

function refreshAfterReconnect() {
  loadBoards();
  for (const id of model.boardJob.values()) {
    const job = model.jobs.get(id);
    if (job && (job.state === 'queued' || job.state === 'running')) refreshJob(id);
  }
}

async function refreshJob(id) {
  try {
    const job = await api('GET', `/jobs/${id}`);
    mergeJob(job);
    noteJob(job.board, id);
  } catch (e) {
    // A job the service no longer knows keeps what was last heard of it.
  }
}

// ---- Boards at a glance ------------------------------------------------------------
function stateBadge(state) {
  const s = STATES[state] ? state : 'unknown';
  return h('span', { class: `state ${s}` }, STATES[s]);
}

function showsText(shows) {
  if (!shows) return '—';
  if (!shows.range) return shows.file;
  const last = shows.range.start + shows.range.count - 1;
  return `${shows.file} [${shows.range.start}–${last}]`;
}

function cell(label, ...children) {
  return h('td', { 'data-label': label }, ...children);
}

function boardRow(b) {
  const job = model.jobs.get(model.boardJob.get(b.board));
  const busy = b.busy && job && job.state === 'running' && job.screens > 0
    ? h('progress', { max: job.screens, value: Math.max(0, job.screen), class: 'mini', 'aria-label': TEXT.running })
    : b.busy ? h('span', { class: 'busy' }, TEXT.running) : null;
  const until = b.nextRetry && b.state !== 'ok'
    ? ['重试/Retry ', timeEl(b.nextRetry)]
    : [timeEl(b.nextChange)];
  return h('tr', { 'data-board': b.board, class: `board state-${STATES[b.state] ? b.state : 'unknown'}` },
    h('th', { scope: 'row', 'data-label': '屏幕/Board' }, h('a', { href: `#board/${enc(b.board)}` }, b.board)),
    cell('状态/State', stateBadge(b.state), busy),
    cell('最后联系/Last contact', timeEl(b.lastContact, true)),
    cell('正在显示/Showing', showsText(b.shows)),
    cell('直到/Until', ...until),
    cell('最后故障/Last failure', b.lastFailure
      ? h('span', { class: 'failure', title: b.lastFailure.time || '' }, b.lastFailure.message)
      : '—'));
}

function renderBoards() {
  const names = [...model.boards.keys()].sort((a, b) => a.localeCompare(b));
  $('boards-body').replaceChildren(...names.map((n) => boardRow(model.boards.get(n))));
}

function renderBoardRow(b) {
  if (!b) return;
  const old = [...$('boards-body').rows].find((r) => r.dataset.board === b.board);
  if (old) old.replaceWith(boardRow(b));
  else renderBoards();
}

// ---- One board -------------------------------------------------------------------
let currentBoard = '';
let shownContent = ''; // what the pictures were fetched for
const imageUrls = [];

function fact(term, ...value) {
  return [h('dt', {}, term), h('dd', {}, ...value)];
}

function renderBoardDetail() {
  const b = model.boards.get(currentBoard);
  $('board-name').textContent = currentBoard;
  if (!b) {
    $('board-state').replaceChildren();
    $('board-facts').replaceChildren(...fact('状态/State', '—'));
    return;
  }
  $('board-state').replaceWith(Object.assign(stateBadge(b.state), { id: 'board-state' }));
  const failure = b.lastFailure
    ? [h('span', { class: 'failure' }, b.lastFailure.message), ' (', timeEl(b.lastFailure.time, true), ')']
    : ['—'];
  $('board-facts').replaceChildren(
    ...fact('正在显示/Showing', showsText(b.shows)),
    ...fact('自/Since', timeEl(b.shows && b.shows.since, true)),
    ...fact('下次变化/Next change', timeEl(b.nextChange)),
    ...fact('最后联系/Last contact', timeEl(b.lastContact, true)),
    ...fact('最后成功/Last success', timeEl(b.lastSuccess, true)),
    ...fact('最后故障/Last failure', ...failure),
    ...fact('连续故障/Failures in a row', String(b.failuresInARow || 0)),
    ...fact('下次重试/Next retry', timeEl(b.nextRetry)),
    ...fact('时钟/Clock set', timeEl(b.clockSet, true)),
    ...fact('线路/Link', `${b.link || '—'} #${b.address}`));
  renderFileChoice(b);
  renderJob();
  const key = b.shows ? `${b.shows.file}\n${b.shows.content}` : '';
  if (key !== shownContent) {
    shownContent = key;
    renderPictures(b);
  }
}

function renderFileChoice(b) {
  const select = $('send-file');
  const files = model.content.map((c) => c.file);
  const current = select.value || (b.shows && b.shows.file) || files[0] || '';
  if ([...select.options].map((o) => o.value).join('\n') !== files.join('\n')) {
    select.replaceChildren(...files.map((f) => h('option', { value: f }, f)));
  }
  if (files.includes(current)) select.value = current;
  const none = files.length === 0;
  $('send-changes').disabled = none;
  $('send-all').disabled = none;
  select.title = none ? TEXT.noFiles : '';
}

function renderJob() {
  const id = model.boardJob.get(currentBoard);
  const job = id === undefined ? null : model.jobs.get(id);
  const box = $('job');
  box.hidden = !job;
  if (!job) return;
  const progress = $('job-progress');
  const result = $('job-result');
  const what = job.what ? `${job.what}` : `#${job.id}`;
  result.className = '';
  if (job.state === 'queued' || job.state === 'running') {
    progress.hidden = false;
    if (job.screens > 0) {
      progress.max = job.screens;
      progress.value = Math.max(0, job.screen);
      $('job-label').textContent = `${TEXT.running}: ${what}`;
      result.textContent = job.screen >= 0 ? `第 ${job.screen + 1} 屏，共 ${job.screens} 屏/Screen ${job.screen + 1} of ${job.screens}` : TEXT.queued;
    } else {
      progress.removeAttribute('value');
      $('job-label').textContent = `${TEXT.running}: ${what}`;
      result.textContent = job.state === 'queued' ? TEXT.queued : '';
    }
    result.dataset.state = job.state;
    return;
  }
  progress.hidden = true;
  $('job-label').textContent = what;
  result.dataset.state = job.state;
  if (job.state === 'done') {
    result.textContent = TEXT.sent;
    result.className = 'ok';
  } else if (job.state === 'stopped') {
    result.textContent = TEXT.stopped;
  } else {
    result.textContent = job.failure ? job.failure.message : job.state;
    result.className = 'error';
  }
}

async function fetchImage(path, alt) {
  const blob = await api('GET', path);
  const url = URL.createObjectURL(blob);
  imageUrls.push(url);
  return h('img', { src: url, alt });
}

async function renderPictures(b) {
  for (const url of imageUrls.splice(0)) URL.revokeObjectURL(url);
  const showBox = $('board-show');
  const list = $('board-screens');
  showBox.replaceChildren();
  list.replaceChildren();
  if (!b.shows) {
    showBox.append(h('p', { class: 'hint' }, TEXT.noPicture));
    return;
  }
  const file = b.shows.file;
  const base = `/content/${filePath(file)}`;
  const content = model.content.find((c) => c.file === file);
  const range = b.shows.range;
  const inRange = (i) => !range || (i >= range.start && i < range.start + range.count);
  try {
    showBox.append(await fetchImage(`${base}/show.gif`, `${file}: ${currentBoard}`));
  } catch (e) {
    showBox.append(h('p', { class: 'error' }, e.message));
  }
  const screens = content ? content.screens : [];
  const items = screens.map((s) => {
    const caption = h('figcaption', {}, h('b', {}, `${s.index}`), ` ${s.picture}`,
      h('small', {}, [s.entry, s.stay, s.exit].filter(Boolean).join(' · ')));
    const fig = h('figure', {}, caption);
    const li = h('li', { class: inRange(s.index) ? 'screen' : 'screen out-of-range' }, fig);
    fetchImage(`${base}/screens/${s.index}.png`, `${file} #${s.index}`)
      .then((img) => fig.prepend(img))
      .catch((e) => fig.prepend(h('p', { class: 'error' }, e.message)));
    return li;
  });
  list.replaceChildren(...items);
}

async function command(path, body) {
  const result = $('job-result');
  try {
    const answer = await api('POST', `/boards/${enc(currentBoard)}${path}`, body);
    const board = currentBoard;
    mergeJob({ id: answer.job, board, state: 'queued' });
    noteJob(board, answer.job);
    // The stream may have told of the end before the answer came back.
    refreshJob(answer.job);
  } catch (e) {
    $('job').hidden = false;
    $('job-progress').hidden = true;
    result.textContent = e.message;
    result.className = 'error';
    result.dataset.state = 'refused';
  }
}

function wireBoardControls() {
  $('send-form').addEventListener('submit', (ev) => {
    ev.preventDefault();
    const all = ev.submitter && ev.submitter.dataset.all === 'true';
    command('/send', { file: $('send-file').value, all });
  });
  $('set-clock').addEventListener('click', () => command('/clock'));
  $('stop').addEventListener('click', () => command('/stop'));
  $('range-form').addEventListener('submit', (ev) => {
    ev.preventDefault();
    const start = Number($('range-start').value);
    const count = Number($('range-count').value);
    const countInput = $('range-count');
    countInput.setCustomValidity(start + count > 239 ? '起始加数量不能超过239/Start plus count must not exceed 239' : '');
    if (!countInput.reportValidity()) return;
    command('/range', { start, count });
  });
  $('range-start').addEventListener('input', () => $('range-count').setCustomValidity(''));
  $('range-count').addEventListener('input', () => $('range-count').setCustomValidity(''));
}

// ---- The plan ----------------------------------------------------------------------
const planColours = new Map();

function colourOf(file) {
  if (!file) return 'c-none';
  if (!planColours.has(file)) planColours.set(file, `c-${planColours.size % 8}`);
  return planColours.get(file);
}

async function loadPlan() {
  try {
    let plan = await api('GET', `/plan?from=${enc(midnightIn(serviceZone))}&hours=48`);
    if (plan.zone && plan.zone !== serviceZone) {
      // Midnight is the service's, not the browser's.
      serviceZone = plan.zone;
      plan = await api('GET', `/plan?from=${enc(midnightIn(serviceZone))}&hours=48`);
    }
    $('plan-error').textContent = '';
    lastPlan = plan;
    renderPlan();
  } catch (e) {
    $('plan-error').textContent = e.message;
  }
}

let lastPlan = null;

function renderPlan() {
  const plan = lastPlan;
  if (!plan) return;
  $('plan-range').textContent = `${plan.zone}: ${wallClock(plan.from)} – ${wallClock(plan.until)}`;
  const from = Date.parse(plan.from);
  const span = Date.parse(plan.until) - from;
  const holder = $('plan-boards');
  const width = Math.max(200, holder.clientWidth || 800);
  const rows = (plan.boards || []).map((row) => {
    const items = row.segments.map((s) =>
      h('li', { class: colourOf(s.file) }, h('span', { class: 'when' }, `${wallClock(s.from)}–${wallClock(s.until)}`), ' ', s.text));
    return h('section', { class: 'plan-row', 'data-board': row.board },
      h('h3', {}, row.board),
      timeline(row.segments, from, span, width),
      h('details', {}, h('summary', {}, `${row.segments.length} 段/segments`), h('ul', { class: 'segments' }, items)));
  });
  holder.replaceChildren(...rows);
}

// One board's plan as bars along the time axis, in pixels of the width it is
// drawn at (drawn again when the window changes size).
function timeline(segments, from, span, width) {
  const height = 58;
  const barY = 18;
  const barH = 28;
  const x = (t) => Math.max(0, Math.min(width, ((t - from) / span) * width));
  const chart = svg('svg', { viewBox: `0 0 ${width} ${height}`, width, height, class: 'timeline', role: 'img' });
  const hours = Math.round(span / 3600000);
  const step = width / hours < 14 ? 6 : 3;
  for (let hr = 0; hr <= hours; hr += step) {
    const px = Math.min(width - 1, (hr / hours) * width);
    chart.append(svg('line', { x1: px, x2: px, y1: 12, y2: height, class: hr % 24 ? 'tick' : 'day' }));
    if (hr < hours) {
      chart.append(svg('text', { x: px + 2, y: 10, class: 'hour' }, String(hr % 24).padStart(2, '0')));
    }
  }
  for (const s of segments) {
    const x0 = x(Date.parse(s.from));
    const w = Math.max(1, x(Date.parse(s.until)) - x0);
    const bar = svg('svg', { x: x0, y: barY, width: w, height: barH, class: `bar ${colourOf(s.file)}` });
    bar.append(svg('title', {}, `${wallClock(s.from)}–${wallClock(s.until)} ${s.text}`));
    bar.append(svg('rect', { x: 0, y: 0, width: w, height: barH, rx: 3 }));
    if (w > 30) bar.append(svg('text', { x: 4, y: barH / 2 + 4 }, s.text));
    chart.append(bar);
  }
  const now = Date.now();
  if (now >= from && now <= from + span) {
    chart.append(svg('line', { x1: x(now), x2: x(now), y1: 12, y2: height, class: 'now' }));
  }
  chart.setAttribute('aria-label', segments.map((s) => s.text).join('; '));
  return chart;
}

// ---- The audit log -----------------------------------------------------------------
async function loadAudit() {
  try {
    const { entries } = await api('GET', '/audit?lines=200');
    $('audit-error').textContent = '';
    const rows = entries.slice().reverse().map((e) => {
      const who = e.token || e.actor || '—';
      const action = e.method ? `${e.method} ${e.route}` : `${e.board || ''} ${e.what || ''}`.trim();
      const status = e.status === undefined ? '' : String(e.status);
      const bad = e.status >= 400;
      return h('tr', { class: bad ? 'refused' : null },
        cell('时间/Time', timeEl(e.time, true)),
        cell('谁/Who', who),
        cell('地址/Address', e.address || ''),
        cell('操作/Action', action),
        cell('状态/Status', status),
        cell('结果/Outcome', e.outcome || ''));
    });
    $('audit-body').replaceChildren(...rows);
  } catch (e) {
    $('audit-error').textContent = e.message;
  }
}

// ---- Upload -------------------------------------------------------------------------
// The display file is code page 936 text; only the picture names of its
// [Pics] records matter here. A record is nine list-input fields (number,
// picture, then seven more), separated by commas or line ends; a field in
// double quotes runs to the next double quote.
function pictureNames(text) {
  const lines = text.split(/\r\n|\r|\n/);
  const at = lines.findIndex((l) => l === '[Pics]');
  if (lines[0] !== '[comm]' || at < 0) return null;
  const fields = [];
  for (const line of lines.slice(at + 1)) {
    let i = 0;
    while (i < line.length) {
      while (line[i] === ' ' || line[i] === '\t') i++;
      if (i >= line.length) break;
      let field;
      if (line[i] === '"') {
        const end = line.indexOf('"', i + 1);
        field = line.slice(i + 1, end < 0 ? line.length : end);
        i = end < 0 ? line.length : end + 1;
        const comma = line.indexOf(',', i);
        i = comma < 0 ? line.length : comma + 1;
      } else {
        const comma = line.indexOf(',', i);
        field = line.slice(i, comma < 0 ? line.length : comma).trim();
        i = comma < 0 ? line.length : comma + 1;
      }
      fields.push(field);
    }
  }
  const names = [];
  for (let r = 0; r + 1 < fields.length; r += 9) {
    const name = fields[r + 1];
    if (name && !names.includes(name)) names.push(name);
  }
  return names;
}

const baseName = (name) => name.slice(Math.max(name.lastIndexOf('/'), name.lastIndexOf('\\')) + 1);

const upload = { display: null, parts: [] };

async function pickFiles() {
  const picked = [...$('upload-files').files];
  const list = $('upload-parts');
  const message = $('upload-message');
  const send = $('upload-send');
  upload.display = null;
  upload.parts = [];
  list.replaceChildren();
  message.className = '';
  send.disabled = true;
  const displays = picked.filter((f) => /\.lt$/i.test(f.name));
  if (displays.length !== 1) {
    message.textContent = displays.length
      ? '请只选一个显示文件/Pick one display file only'
      : '请选一个显示文件(.lt)和它的图片/Pick a display file (.lt) and its pictures';
    message.className = picked.length ? 'error' : '';
    return;
  }
  const display = displays[0];
  const text = new TextDecoder('gbk').decode(await display.arrayBuffer());
  const names = pictureNames(text);
  if (!names) {
    message.textContent = `${display.name}: 错误的显示文件/Not a display file`;
    message.className = 'error';
    return;
  }
  const others = picked.filter((f) => f !== display);
  const find = (name) => {
    const base = baseName(name);
    return others.find((f) => f.name === base) ||
      others.find((f) => f.name.toLowerCase() === base.toLowerCase());
  };
  const missing = [];
  const items = [h('li', { class: 'found' }, display.name)];
  for (const name of names) {
    const file = find(name);
    if (file) upload.parts.push({ name, file });
    else missing.push(name);
    items.push(h('li', { class: file ? 'found' : 'missing' }, name));
  }
  list.replaceChildren(...items);
  upload.display = display;
  if (missing.length) {
    message.textContent = `缺少图片/Missing pictures: ${missing.join(', ')}`;
    message.className = 'error';
    return;
  }
  message.textContent = `${names.length} 张图片齐全/${names.length} pictures, none missing`;
  send.disabled = false;
}

async function sendUpload(ev) {
  ev.preventDefault();
  if (!upload.display) return;
  const form = new FormData();
  form.append('display', upload.display, upload.display.name);
  for (const part of upload.parts) form.append('picture', part.file, part.name);
  const message = $('upload-message');
  $('upload-send').disabled = true;
  try {
    const { file } = await api('POST', '/content', form);
    message.textContent = `已上传/Uploaded: ${file}`;
    message.className = 'ok';
    loadContent();
  } catch (e) {
    message.textContent = e.message;
    message.className = 'error';
    $('upload-send').disabled = false;
  }
}

// ---- Views ------------------------------------------------------------------------------
let currentView = '';

function showView(name) {
  currentView = name;
  for (const v of document.querySelectorAll('.view')) v.hidden = v.id !== `view-${name}`;
  for (const a of document.querySelectorAll('#tabs a')) {
    const here = a.dataset.view === name || (name === 'board' && a.dataset.view === 'boards');
    if (here) a.setAttribute('aria-current', 'page');
    else a.removeAttribute('aria-current');
  }
}

async function route() {
  if (!session.role) return;
  const hash = decodeURIComponent(location.hash.slice(1));
  if (hash.startsWith('board/')) {
    currentBoard = hash.slice(6);
    shownContent = null;
    showView('board');
    renderBoardDetail();
    await loadContent();
    renderBoardDetail();
  } else if (hash === 'plan') {
    showView('plan');
    loadPlan();
  } else if (hash === 'audit') {
    showView('audit');
    loadAudit();
  } else if (hash === 'upload' && session.role === 'operator') {
    showView('upload');
  } else {
    showView('boards');
    renderBoards();
  }
}

function startConsole() {
  $('sign-in-error').textContent = '';
  $('tabs').hidden = false;
  $('session').hidden = false;
  applyRole();
  events.start();
  loadBoards();
  loadContent();
  route();
}

let resizeTimer = 0;

function init() {
  $('sign-in-form').addEventListener('submit', async (ev) => {
    ev.preventDefault();
    const token = $('token').value.trim();
    if (!token) return;
    $('sign-in').disabled = true;
    try {
      await signIn(token);
    } catch (e) {
      sessionStorage.removeItem(TOKEN_KEY);
      session.token = '';
      $('sign-in-error').textContent = e.message;
    } finally {
      $('sign-in').disabled = false;
    }
  });
  $('sign-out').addEventListener('click', () => signOut(''));
  $('audit-refresh').addEventListener('click', loadAudit);
  $('upload-files').addEventListener('change', pickFiles);
  $('upload-form').addEventListener('submit', sendUpload);
  wireBoardControls();
  window.addEventListener('hashchange', route);
  window.addEventListener('resize', () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(() => currentView === 'plan' && renderPlan(), 150);
  });
  setLive('');
  if (session.token) {
    signIn(session.token).catch((e) => signOut(e.status === 401 ? TEXT.invalidToken : e.message));
  } else {
    showView('sign-in');
  }
}

init();
