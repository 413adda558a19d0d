// The page's status line, its message box and its yes-or-no dialog.
export const $ = (id) => document.getElementById(id);

export function showStatus(line) { $('status').textContent = line; }

export function showMessage(line, detail) {
  const box = $('message');
  box.replaceChildren();
  const p = document.createElement('p');
  p.textContent = line;
  box.append(p);
  if (detail) {
    const pre = document.createElement('pre');
    pre.textContent = detail;
    box.append(pre);
  }
  box.hidden = false;
}
export function clearMessage() { $('message').hidden = true; }

// A yes-or-no question in the page's dialog; Escape answers no.
export function ask(question) {
  const dialog = $('ask');
  $('ask-text').textContent = question;
  return new Promise((resolve) => {
    const done = (answer) => { dialog.close(); resolve(answer); };
    $('ask-yes').onclick = () => done(true);
    $('ask-no').onclick = () => done(false);
    dialog.oncancel = () => resolve(false);
    dialog.showModal();
    $('ask-yes').focus();
  });
}
